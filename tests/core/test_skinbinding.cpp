#include "core/globals.h"
#include "core/skinbinding.h"
#include "platform/base/paths.h"
#include "platform/base/registry.h"
#include "skinlib/art/skinart.h"
#include "testenv.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <gtest/gtest.h>

namespace com = platform::com;

namespace {

const QString kMorvane = QStringLiteral(Z5_STAGE_DIR "/Skin/SK_Morvane_1.dll");
const QString kBlueSky = QStringLiteral(Z5_TEST_SKIN_DIR "/SK_Blue_Sky.dll");

QStringList tempLeftovers()
{
    return QDir(platform::paths::privateTempFolder()).entryList({QStringLiteral("~rs*")}, QDir::Files);
}

} // namespace

TEST(SkinBinding, ProgIdFromTheSkinName)
{
    const struct {
        const char* name;
        const char* progId;
    } cases[] = {
        {"Morvane 1", "SK_Morvane_1.clsResources"},
        {"Blue Sky", "SK_Blue_Sky.clsResources"},
        {"Plain", "SK_Plain.clsResources"},
        {"Two Blank Name", "SK_Two_Blank_Name.clsResources"},
        {"Double  Blank", "SK_Double__Blank.clsResources"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SkinProgId(QString::fromLatin1(c.name)), QString::fromLatin1(c.progId));
}

TEST(SkinBinding, BindsTheShippedSkinAndCallsItByName)
{
    ASSERT_EQ(com::registerServer(kMorvane).status, com::RegistrationStatus::Done);
    SkinName = QStringLiteral("Morvane 1");
    ASSERT_TRUE(BindSkinLibrary());
    EXPECT_EQ(SkinObject.progId(), QStringLiteral("SK_Morvane_1.clsResources"));

    const auto arrow = GetSkinPicture(200, 0);
    ASSERT_TRUE(arrow.has_value());
    EXPECT_EQ(arrow->size(), QSize(15, 18));
    EXPECT_EQ(GetSkinString(101), QStringLiteral("&HB77B5E"));
    EXPECT_EQ(GetSkinString(116), QStringLiteral("T"));
    // What the library raises for reaches the caller as nothing.
    EXPECT_EQ(GetSkinString(109), QString());
    EXPECT_FALSE(GetSkinPicture(101, 0).has_value());
    EXPECT_FALSE(GetSkinPicture(200, 1).has_value());
    EXPECT_TRUE(GetSkinPicture(200, 0).has_value());
}

TEST(SkinBinding, ReSkinningSwitchesPicturesAndStrings)
{
    ASSERT_EQ(com::registerServer(kMorvane).status, com::RegistrationStatus::Done);
    ASSERT_EQ(com::registerServer(kBlueSky).status, com::RegistrationStatus::Done);
    SkinName = QStringLiteral("Morvane 1");
    ASSERT_TRUE(BindSkinLibrary());
    const QImage before = GetSkinPicture(171, 0).value_or(QPixmap()).toImage();
    const QString colour = GetSkinString(101);

    SkinName = QStringLiteral("Blue Sky");
    ASSERT_TRUE(BindSkinLibrary());
    EXPECT_EQ(SkinObject.progId(), QStringLiteral("SK_Blue_Sky.clsResources"));
    EXPECT_NE(GetSkinString(101), colour);
    EXPECT_EQ(GetSkinString(106), QStringLiteral("180"));
    EXPECT_NE(GetSkinPicture(171, 0).value_or(QPixmap()).toImage(), before);

    // A skin that cannot be created leaves no skin: later calls yield nothing.
    SkinName = QStringLiteral("No Such Skin");
    EXPECT_FALSE(BindSkinLibrary());
    EXPECT_TRUE(SkinObject.isNull());
    EXPECT_EQ(GetSkinString(101), QString());
    EXPECT_FALSE(GetSkinPicture(171, 0).has_value());
}

TEST(SkinBinding, ALibraryThatCannotBeLoadedLeavesNoSkinAndSaysWhy)
{
    const QString notALibrary = QDir::temp().filePath(QStringLiteral("SK_Text.dll"));
    ASSERT_TRUE(testenv::writeFile(notALibrary, "just text, no code"));
    const struct {
        const char* skin;
        QString library; // registered as the skin's server; "" for none
        const char* reason;
    } cases[] = {
        {"Never Registered", QString(), "is not registered"},
        {"Gone", QStringLiteral("/no/such/folder/SK_Gone.dll"), "file not found: /no/such/folder/SK_Gone.dll"},
        {"Text", notALibrary, "SK_Text.dll"},
        {"No Entry", QStringLiteral(Z5_TEST_NOENTRY_LIBRARY), "has no DllGetClassObject"},
    };
    int n = 0;
    for (const auto& c : cases) {
        SkinName = QString::fromLatin1(c.skin);
        if (!c.library.isEmpty()) {
            const QString clsid = QStringLiteral("{5E1F0000-0000-0000-0000-00000000000%1}").arg(++n);
            ASSERT_TRUE(com::registerClass({SkinProgId(SkinName), clsid}, c.library));
        }
        testenv::StderrCapture err;
        EXPECT_FALSE(BindSkinLibrary()) << c.skin;
        EXPECT_TRUE(SkinObject.isNull());
        EXPECT_EQ(GetSkinString(101), QString());
        EXPECT_FALSE(GetSkinPicture(200, 0).has_value());
        const QString said = err.text();
        EXPECT_TRUE(said.contains(SkinName) && said.contains(QString::fromLatin1(c.reason)))
            << c.skin << ": " << said.toStdString();
    }
}

TEST(ResourcePictures, MessageIconsAndBitmapsLoadAndLeaveNoFile)
{
    for (const skinart::ResourceSpec& spec : skinart::programResourceTable()) {
        const auto pic = LoadResourcePicture(spec.id, spec.type);
        ASSERT_TRUE(pic.has_value()) << spec.type.toStdString() << " " << spec.id;
        EXPECT_EQ(pic->size(), QSize(spec.width, spec.height)) << spec.type.toStdString() << " " << spec.id;
    }
    for (int id = 101; id <= 104; ++id) {
        const auto icon = LoadResourcePicture(id, QStringLiteral("message"));
        ASSERT_TRUE(icon.has_value()) << id;
        EXPECT_EQ(icon->size(), QSize(32, 32));
    }
    EXPECT_EQ(tempLeftovers(), QStringList());

    // A given file is used and removed afterwards.
    const QString path = QDir::temp().filePath(QStringLiteral("icon.ico"));
    EXPECT_TRUE(LoadResourcePicture(102, QStringLiteral("MESSAGE"), path).has_value());
    EXPECT_FALSE(QFile::exists(path));

    EXPECT_FALSE(LoadResourcePicture(999, QStringLiteral("MESSAGE")).has_value());
    EXPECT_FALSE(LoadResourcePicture(101, QStringLiteral("CURSOR")).has_value());
    EXPECT_FALSE(LoadResourcePicture(101, QStringLiteral("MESSAGE"), QStringLiteral("/no/such/folder/x.ico")).has_value());
    EXPECT_EQ(tempLeftovers(), QStringList());
}

TEST(ResourcePictures, WriteResourceToFileWritesTheBytes)
{
    const QString path = QDir::temp().filePath(QStringLiteral("rule.bmp"));
    QFile old(path); // an older, longer file is replaced
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(100000, 'x'));
    old.close();

    const auto bytes = skinart::programResourceBytes(QStringLiteral("BITMAP"), 120);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(WriteResourceToFile(120, QStringLiteral("BITMAP"), path), 0);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), *bytes);

    EXPECT_NE(WriteResourceToFile(7, QStringLiteral("BITMAP"), QDir::temp().filePath(QStringLiteral("none.bmp"))), 0);
    EXPECT_FALSE(QFile::exists(QDir::temp().filePath(QStringLiteral("none.bmp"))));
    EXPECT_NE(WriteResourceToFile(120, QStringLiteral("BITMAP"), QStringLiteral("/no/such/folder/x.bmp")), 0);
    EXPECT_NE(WriteResourceToFile(120, QStringLiteral("BITMAP"), QString()), 0);
}

TEST(Clipboard, RegisteredFormatsAndReading)
{
    const uint32_t html = RegisterClipboardFormatName(QStringLiteral("HTML Format"));
    EXPECT_GT(html, 49152u);
    EXPECT_EQ(RegisterClipboardFormatName(QStringLiteral("html format")), html);
    const uint32_t other = RegisterClipboardFormatName(QStringLiteral("Private Thing"));
    EXPECT_GT(other, 49152u);
    EXPECT_NE(other, html);
    EXPECT_EQ(RegisterClipboardFormatName(QString()), 0u);

    QClipboard* cb = QGuiApplication::clipboard();
    auto* data = new QMimeData;
    data->setHtml(QStringLiteral("<b>bold</b> text"));
    data->setText(QStringLiteral("bold text"));
    cb->setMimeData(data);
    EXPECT_EQ(ReadClipboardText(nullptr, html), QStringLiteral("<b>bold</b> text"));
    EXPECT_EQ(ReadClipboardText(nullptr, 1), QStringLiteral("bold text"));
    EXPECT_EQ(ReadClipboardText(nullptr, other), QString()); // not on the clipboard
    EXPECT_EQ(ReadClipboardText(nullptr, 0xBEEF), QString()); // no such format

    // A private format holds bytes; only text is on the clipboard now.
    auto* priv = new QMimeData;
    priv->setData(QStringLiteral("application/x-qt-windows-mime;value=\"Private Thing\""), QByteArray("payload"));
    cb->setMimeData(priv);
    EXPECT_EQ(ReadClipboardText(nullptr, other), QStringLiteral("payload"));
    EXPECT_EQ(ReadClipboardText(nullptr, html), QString());
    cb->clear();
    EXPECT_EQ(ReadClipboardText(nullptr, other), QString());
}
