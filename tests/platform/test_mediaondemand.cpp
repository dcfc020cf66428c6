#include "platform/base/mediaondemand.h"

#include <QFile>
#include <QString>
#include <gtest/gtest.h>

namespace {

using platform::media::MediaOnDemand;

// Whether a library whose file name holds name is mapped in this process.
bool mapped(const char* name)
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains(name);
}

} // namespace

// This test program links no media library: the layer comes in at the first
// command that needs it, and a "close all" before then needs nothing.
TEST(MediaOnDemand, TheLayerLoadsAtTheFirstCommandThatNeedsIt)
{
    ASSERT_FALSE(mapped("libQt6Multimedia")) << "the test program itself links Qt Multimedia";
    MediaOnDemand layer;
    QString reply = QStringLiteral("stale");
    EXPECT_EQ(layer.mci().sendString(QStringLiteral("  CLOSE   all "), &reply), platform::media::MciOk);
    EXPECT_TRUE(reply.isEmpty());
    EXPECT_FALSE(layer.loaded());
    EXPECT_FALSE(mapped("libQt6Multimedia"));

    // An alias nobody opened: the interpreter's own answer.
    EXPECT_EQ(layer.mci().sendString(QStringLiteral("status nothing mode"), &reply),
              platform::media::MciInvalidDeviceName);
    EXPECT_TRUE(layer.loaded()) << layer.error().toStdString();
    EXPECT_TRUE(layer.error().isEmpty());
    EXPECT_TRUE(mapped("libz5platformmedia.so"));
    EXPECT_TRUE(mapped("libQt6Multimedia"));
    EXPECT_EQ(layer.mci().sendString(QStringLiteral("close all"), &reply), platform::media::MciOk);
}

// A layer library that is missing or is not the layer fails every command
// and gives no volume control, and says why; nothing crashes.
TEST(MediaOnDemand, ALibraryThatIsNotTheLayerFailsEveryCommand)
{
    const struct {
        const char* what;
        QString path;
    } cases[] = {
        {"missing", QStringLiteral("/nonexistent/libz5platformmedia.so")},
        {"no entry point", QStringLiteral(Z5_STAGE_DIR "/libz5platformbase.so")},
        {"not a library", QStringLiteral(Z5_STAGE_DIR "/Common/Z5_BlankPage.HTM")},
    };
    for (const auto& c : cases) {
        MediaOnDemand layer(c.path);
        QString reply = QStringLiteral("stale");
        EXPECT_EQ(layer.mci().sendString(QStringLiteral("open a.wav alias A"), &reply),
                  platform::media::MciCannotOpen)
            << c.what;
        EXPECT_TRUE(reply.isEmpty()) << c.what;
        EXPECT_FALSE(layer.loaded()) << c.what;
        EXPECT_TRUE(layer.error().contains(c.path)) << c.what << ": " << layer.error().toStdString();
        int32_t lo = 1, hi = 2, value = 3;
        EXPECT_FALSE(layer.mixer().range(lo, hi)) << c.what;
        EXPECT_FALSE(layer.mixer().get(value)) << c.what;
        EXPECT_FALSE(layer.mixer().set(100)) << c.what;
        EXPECT_EQ(lo, 1) << c.what;
        EXPECT_EQ(hi, 2) << c.what;
        EXPECT_EQ(value, 3) << c.what;
        EXPECT_EQ(layer.mci().sendString(QStringLiteral("close all"), nullptr), platform::media::MciOk) << c.what;
    }
}
