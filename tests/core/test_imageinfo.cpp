#include "core/imageinfo.h"
#include "testenv.h"

#include <QImage>

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

void put16le(QByteArray& b, int at, int v)
{
    b[at] = char(v & 0xFF);
    b[at + 1] = char((v >> 8) & 0xFF);
}

void put16be(QByteArray& b, int at, int v)
{
    b[at] = char((v >> 8) & 0xFF);
    b[at + 1] = char(v & 0xFF);
}

QByteArray gif(int w, int h, int flags)
{
    QByteArray b("GIF89a", 6);
    b.resize(13, '\0');
    put16le(b, 6, w);
    put16le(b, 8, h);
    b[10] = char(flags);
    return b;
}

QByteArray bmp(int w, int h, int depth)
{
    QByteArray b("BM", 2);
    b.resize(54, '\0');
    put16le(b, 18, w & 0xFFFF);
    put16le(b, 20, (w >> 16) & 0xFFFF);
    put16le(b, 22, h & 0xFFFF);
    put16le(b, 24, (h >> 16) & 0xFFFF);
    b[28] = char(depth);
    return b;
}

QByteArray png(int w, int h, int bitDepth, int colourType)
{
    QByteArray b("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
    b.resize(33, '\0');
    put16be(b, 18, w);
    put16be(b, 22, h);
    b[24] = char(bitDepth);
    b[25] = char(colourType);
    return b;
}

QByteArray segment(int marker, int length)
{
    QByteArray s;
    s.append(char(0xFF)).append(char(marker));
    s.append(char((length >> 8) & 0xFF)).append(char(length & 0xFF));
    s.append(QByteArray(std::max(0, length - 2), 'j'));
    return s;
}

QByteArray frame(int marker, int w, int h, int components)
{
    QByteArray s;
    s.append(char(0xFF)).append(char(marker));
    s.append(char(0)).append(char(8 + 3 * components)).append(char(8));
    s.append(char(h >> 8)).append(char(h & 0xFF)).append(char(w >> 8)).append(char(w & 0xFF));
    s.append(char(components));
    s.append(QByteArray(3 * components, '\1'));
    return s;
}

const QByteArray kSoi("\xFF\xD8", 2);

struct Expect {
    bool has;
    int w, h, d;
};

Expect read(const QByteArray& bytes)
{
    clsGetInfo info;
    info.ReadHeaderBytes(bytes);
    return {info.HasInfo, info.Width, info.Height, info.Depth};
}

} // namespace

TEST(ImageInfo, HeadersOfEachKind)
{
    const struct {
        const char* what;
        QByteArray bytes;
        Expect expected;
    } cases[] = {
        {"gif 640x480, 256 colours", gif(640, 480, 0xF7), {true, 640, 480, 8}},
        {"gif 2 colours", gif(1, 1, 0x80), {true, 1, 1, 1}},
        {"gif truncated after the signature", QByteArray("GIF"), {true, 0, 0, 1}},
        {"bmp 800x600x24", bmp(800, 600, 24), {true, 800, 600, 24}},
        {"bmp width above 16 bits keeps the low 16", bmp(0x12345, 10, 8), {true, 0x2345, 10, 8}},
        {"bmp top-down height overflows", bmp(16, -600, 32), {false, 16, 0, 0}},
        {"png rgba 8", png(100, 50, 8, 6), {true, 100, 50, 32}},
        {"png rgb 16", png(1, 2, 16, 2), {true, 1, 2, 48}},
        {"png palette", png(3, 4, 4, 3), {true, 3, 4, 8}},
        {"png grey 1", png(3, 4, 1, 0), {true, 3, 4, 1}},
        {"png grey alpha 8", png(3, 4, 8, 4), {true, 3, 4, 16}},
        {"png of an unknown colour type", png(3, 4, 8, 5), {false, 0, 0, 0}},
        {"png 32767 wide", png(32767, 1, 8, 0), {true, 32767, 1, 8}},
        {"png 32768 wide", png(32768, 1, 8, 0), {false, 0, 0, 0}},
        {"png tall: width stays", png(5, 40000, 8, 0), {false, 5, 0, 0}},
        {"jpeg baseline", kSoi + segment(0xE0, 16) + frame(0xC0, 640, 480, 3), {true, 640, 480, 24}},
        {"jpeg progressive", kSoi + segment(0xE0, 16) + frame(0xC2, 20, 10, 1), {true, 20, 10, 8}},
        {"jpeg tables and fill bytes first",
         kSoi + segment(0xDB, 67) + segment(0xC4, 31) + QByteArray("\xFF\xFF", 2) + segment(0xCC, 6) +
             segment(0xC8, 4) + frame(0xCF, 7, 9, 3),
         {true, 7, 9, 24}},
        {"jpeg after other bytes", QByteArray("junk") + kSoi + frame(0xC1, 2, 3, 3), {true, 2, 3, 24}},
        {"jpeg too tall: height overflows first", kSoi + frame(0xC0, 10, 40000, 3), {false, 0, 0, 0}},
        {"jpeg zero-length segment ends the walk", kSoi + segment(0xE1, 0) + frame(0xC0, 1, 1, 3), {false, 0, 0, 0}},
        {"jpeg one-byte segment ends the walk", kSoi + segment(0xE1, 1) + frame(0xC0, 1, 1, 3), {false, 0, 0, 0}},
        {"jpeg without a frame", kSoi + segment(0xE0, 16), {false, 0, 0, 0}},
        {"jpeg truncated after the start", QByteArray("\xFF\xD8\xFF", 3), {false, 0, 0, 0}},
        {"nothing", QByteArray(), {false, 0, 0, 0}},
        {"text", QByteArray("hello, world"), {false, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        const Expect got = read(c.bytes);
        EXPECT_EQ(got.has, c.expected.has) << c.what;
        EXPECT_EQ(got.w, c.expected.w) << c.what;
        EXPECT_EQ(got.h, c.expected.h) << c.what;
        EXPECT_EQ(got.d, c.expected.d) << c.what;
    }
}

TEST(ImageInfo, FrameHeadersAtTheEdgeOfTheWindow)
{
    // A first segment whose length puts the frame marker's 255 at q.
    const auto jpegWithFrameAt = [](int q) {
        QByteArray b = kSoi + segment(0xE0, q - 4) + frame(0xC0, 33, 44, 3);
        return b;
    };
    EXPECT_EQ(jpegWithFrameAt(65524).size() > 65534, true);
    const Expect last = read(jpegWithFrameAt(65524));
    EXPECT_TRUE(last.has);
    EXPECT_EQ(last.w, 33);
    EXPECT_EQ(last.h, 44);
    EXPECT_FALSE(read(jpegWithFrameAt(65525)).has);
    EXPECT_FALSE(read(jpegWithFrameAt(65530)).has);
    // Past 64 KiB nothing is looked at, even a start of image.
    EXPECT_FALSE(read(QByteArray(65535, 'x') + kSoi + frame(0xC0, 1, 1, 3)).has);
}

TEST(ImageInfo, ReadsFilesAndKeepsEarlierValuesOnFailure)
{
    const QString dir = testenv::freshDir(QStringLiteral("images"));
    QImage picture(37, 21, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    ASSERT_TRUE(picture.save(dir + QStringLiteral("/p.png")));
    ASSERT_TRUE(picture.save(dir + QStringLiteral("/p.jpg"), "JPEG"));
    ASSERT_TRUE(picture.save(dir + QStringLiteral("/p.bmp")));
    ASSERT_TRUE(testenv::writeFile(dir + QStringLiteral("/g.gif"), gif(300, 200, 0xF1)));
    ASSERT_TRUE(testenv::writeFile(dir + QStringLiteral("/big.png"), png(40000, 10, 8, 2)));
    ASSERT_TRUE(testenv::writeFile(dir + QStringLiteral("/empty.jpg"), QByteArray()));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir + QStringLiteral("/pipe.jpg")).constData(), 0600), 0);

    clsGetInfo info;
    EXPECT_FALSE(info.HasInfo);
    for (const char* name : {"p.png", "p.jpg", "p.bmp"}) {
        info.FileName = dir + QLatin1Char('/') + QString::fromUtf8(name);
        info.GetImageFileInfo();
        EXPECT_TRUE(info.HasInfo) << name;
        EXPECT_EQ(info.Width, 37) << name;
        EXPECT_EQ(info.Height, 21) << name;
        EXPECT_EQ(info.Depth, 24) << name;
    }
    info.FileName = dir + QStringLiteral("\\G.GIF"); // written with "\" and another case
    info.GetImageFileInfo();
    EXPECT_TRUE(info.HasInfo);
    EXPECT_EQ(info.Width, 300);
    EXPECT_EQ(info.Depth, 2);
    // Failures: HasInfo goes False, the values read before stay.
    for (const char* name : {"big.png", "empty.jpg", "pipe.jpg", "missing.gif"}) {
        info.FileName = dir + QLatin1Char('/') + QString::fromUtf8(name);
        info.GetImageFileInfo();
        EXPECT_FALSE(info.HasInfo) << name;
        EXPECT_EQ(info.Height, 200) << name;
        EXPECT_EQ(info.Depth, 2) << name;
    }
}
