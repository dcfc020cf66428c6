#include "platform/base/com.h"
#include "platform/base/registry.h"
#include "skinlib/art/skinart.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <set>

namespace com = platform::com;
namespace reg = platform::registry;

namespace {

const QString kMorvane = QStringLiteral(Z5_STAGE_DIR "/Skin/SK_Morvane_1.dll");
const QString kBlueSky = QStringLiteral(Z5_TEST_SKIN_DIR "/SK_Blue_Sky.dll");

// A skin registered in the test's fresh home and created by its ProgID.
class SkinLibrary : public ::testing::Test {
protected:
    com::Object create(const QString& library, const QString& progId)
    {
        EXPECT_EQ(com::registerServer(library).status, com::RegistrationStatus::Done) << library.toStdString();
        com::Error err;
        const auto obj = com::createObject(progId, &err);
        EXPECT_TRUE(obj.has_value()) << err.description.toStdString();
        return obj.value_or(com::Object());
    }
    com::Object morvane() { return create(kMorvane, QStringLiteral("SK_Morvane_1.clsResources")); }
    com::Object blueSky() { return create(kBlueSky, QStringLiteral("SK_Blue_Sky.clsResources")); }

    static com::CallResult picture(const com::Object& skin, int id, int resType = 0)
    {
        return skin.call(QStringLiteral("GetResourcePicture"),
                         {QVariant::fromValue(qint16(id)), QVariant::fromValue(qint16(resType))});
    }
    static com::CallResult string(const com::Object& skin, int id)
    {
        return skin.call(QStringLiteral("GetResourceString"), {QVariant::fromValue(qint16(id))});
    }
};

// The identifiers the skin plan leaves out.
std::set<int> absentPictureIds()
{
    std::set<int> ids = {101, 102, 126, 127, 409, 410};
    const std::pair<int, int> ranges[] = {{153, 170}, {219, 263}, {279, 283}, {387, 389}, {413, 415}, {418, 499}};
    for (const auto& [from, to] : ranges)
        for (int id = from; id <= to; ++id)
            ids.insert(id);
    return ids;
}

} // namespace

TEST_F(SkinLibrary, ServesEveryPictureOfThePlanAtItsSizeAndDepth)
{
    for (const com::Object& skin : {morvane(), blueSky()}) {
        ASSERT_FALSE(skin.isNull());
        for (const skinart::PictureSpec& spec : skinart::pictureTable()) {
            const com::CallResult r = picture(skin, spec.id, spec.resType);
            ASSERT_TRUE(r.ok) << skin.progId().toStdString() << " id " << spec.id << ": "
                              << r.error.description.toStdString();
            const QImage img = r.value.value<QImage>();
            EXPECT_EQ(img.size(), QSize(spec.width, spec.height)) << "id " << spec.id;
            EXPECT_EQ(img.depth(), spec.bitDepth == 8 ? 8 : 24) << "id " << spec.id;
        }
    }
}

TEST_F(SkinLibrary, SizesAndDepthsTheLayoutReliesOn)
{
    // Sizes fixed by the skin plan, checked here on their own so that a slip
    // in the drawing table shows too.
    struct Range {
        int from, to, width, height;
    };
    const Range fixed[] = {
        {103, 103, 5, 29},   {123, 124, 5, 5},    {125, 125, 8, 5},    {128, 128, 80, 18},
        {129, 129, 40, 20},  {130, 130, 100, 20}, {131, 131, 312, 12}, {132, 132, 5, 18},
        {149, 152, 12, 12},  {171, 199, 20, 20},  {200, 202, 15, 18},  {203, 203, 16, 16},
        {204, 218, 17, 18},  {399, 402, 100, 18}, {411, 412, 60, 18},  {416, 417, 60, 18},
    };
    const com::Object skin = morvane();
    std::set<int> checked;
    for (const Range& r : fixed) {
        for (int id = r.from; id <= r.to; ++id) {
            const com::CallResult c = picture(skin, id);
            ASSERT_TRUE(c.ok) << "id " << id;
            EXPECT_EQ(c.value.value<QImage>().size(), QSize(r.width, r.height)) << "id " << id;
            checked.insert(id);
        }
    }
    // Frame pieces 104-122: 5 to 380 wide, 5 to 50 high.
    for (int id = 104; id <= 122; ++id) {
        const QImage img = picture(skin, id).value.value<QImage>();
        EXPECT_TRUE(img.width() >= 5 && img.width() <= 380 && img.height() >= 5 && img.height() <= 50) << "id " << id;
    }
    // 8-bit pictures: 128 and 554-559; the rest of the plan is 24-bit.
    for (const skinart::PictureSpec& spec : skinart::pictureTable()) {
        const bool eightBit = spec.id == 128 || (spec.id >= 554 && spec.id <= 559);
        EXPECT_EQ(picture(skin, spec.id).value.value<QImage>().depth(), eightBit ? 8 : 24) << "id " << spec.id;
    }
    // Every button base of the chrome has its hover and pressed faces.
    const int bases[] = {185, 188, 171, 175, 179, 182, 194, 129, 197, 191, 200, 204, 207, 210, 213, 216,
                         267, 270, 273, 276, 264, 403, 406, 393, 390, 396, 500, 503, 506, 510, 514, 518,
                         522, 526, 530, 534, 538, 542, 546, 550, 554, 557, 560, 563};
    for (int base : bases)
        for (int id = base; id <= base + 2; ++id)
            EXPECT_TRUE(picture(skin, id).ok) << "button face " << id;
}

TEST_F(SkinLibrary, MissingPicturesRaiseResourceNotFound)
{
    const com::Object skin = morvane();
    std::set<int> ids = absentPictureIds();
    ids.insert({0, 1, 100, 600, 1000, 32767, -1, -32768});
    for (int id : ids) {
        const com::CallResult r = picture(skin, id);
        EXPECT_FALSE(r.ok) << "id " << id;
        EXPECT_EQ(r.error.number, com::ErrResourceNotFound) << "id " << id;
    }
    // Bitmaps are the only kind.
    EXPECT_EQ(picture(skin, 200, 1).error.number, com::ErrResourceNotFound);
    EXPECT_EQ(picture(skin, 200, 0).value.value<QImage>().size(), QSize(15, 18));
    EXPECT_TRUE(picture(skin, 200).ok); // an error does not stick
}

TEST_F(SkinLibrary, StringTableOfTheShippedSkin)
{
    const com::Object skin = morvane();
    for (int id = 101; id <= 157; ++id) {
        const com::CallResult r = string(skin, id);
        if (id == 109) {
            EXPECT_FALSE(r.ok);
            EXPECT_EQ(r.error.number, com::ErrResourceNotFound);
            EXPECT_TRUE(r.error.description.contains(QStringLiteral("109")));
        } else {
            EXPECT_TRUE(r.ok) << "id " << id;
            EXPECT_FALSE(r.value.toString().isEmpty()) << "id " << id;
        }
    }
    const struct {
        int id;
        const char* value;
    } spot[] = {{101, "&HB77B5E"}, {104, "&HE59F79"}, {106, "180"},    {116, "T"},   {119, "400"},
                {121, "&HECECEC"}, {131, "&H0"},     {132, "&HE39673"}, {149, "26"}, {150, "0"},
                {153, "&H0000FF"}, {157, "425"}};
    for (const auto& s : spot)
        EXPECT_EQ(string(skin, s.id).value.toString(), QString::fromLatin1(s.value)) << "id " << s.id;
    for (int id : {0, 100, 158, 1000, -5})
        EXPECT_EQ(string(skin, id).error.number, com::ErrResourceNotFound) << "id " << id;
}

TEST_F(SkinLibrary, BlueSkyHasItsOwnColoursAndTheSameGeometry)
{
    const com::Object m = morvane();
    const com::Object b = blueSky();
    int differentColours = 0;
    for (int id = 101; id <= 157; ++id) {
        const com::CallResult a = string(m, id), c = string(b, id);
        ASSERT_EQ(a.ok, c.ok) << "id " << id;
        if (!a.ok)
            continue;
        if (a.value.toString().startsWith(QStringLiteral("&H")))
            differentColours += a.value != c.value;
        else
            EXPECT_EQ(a.value, c.value) << "id " << id;
    }
    EXPECT_GT(differentColours, 10);
    EXPECT_NE(picture(m, 171).value.value<QImage>(), picture(b, 171).value.value<QImage>());
}

TEST_F(SkinLibrary, ExportsOnlyTheEntryPoints)
{
    void* handle = dlopen(QFile::encodeName(kMorvane).constData(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << dlerror();
    for (const char* entry : {"DllRegisterServer", "DllUnregisterServer", "DllGetClassObject", "DllCanUnloadNow"})
        EXPECT_NE(dlsym(handle, entry), nullptr) << entry;
    // Nothing of its own code leaks out: what the loader finds through the
    // handle comes from the shared libraries it depends on, never from it.
    for (const char* hidden : {"_ZN8platform8registry9keyExistsENS0_4HiveERK7QString",
                               "_ZN7skinart12pictureTableEv", "_ZN12clsResourcesC1Ev"}) {
        void* found = dlsym(handle, hidden);
        Dl_info info{};
        if (found && dladdr(found, &info) && info.dli_fname) {
            EXPECT_FALSE(QString::fromLocal8Bit(info.dli_fname).endsWith(QStringLiteral("SK_Morvane_1.dll"))) << hidden;
        }
    }
    EXPECT_EQ(dlsym(handle, "_ZN12clsResourcesC1Ev"), nullptr);
    auto canUnload = reinterpret_cast<com::CanUnloadNowFn>(dlsym(handle, "DllCanUnloadNow"));
    auto getClass = reinterpret_cast<com::GetClassObjectFn>(dlsym(handle, "DllGetClassObject"));
    EXPECT_EQ(canUnload(), com::Ok);
    QObject* obj = nullptr;
    EXPECT_EQ(getClass("{00000000-0000-0000-0000-000000000000}", &obj), com::ClassNotAvailable);
    EXPECT_EQ(obj, nullptr);
    ASSERT_EQ(getClass("{e0dfccb5-bfcf-4830-81a0-b677c8a7f2bf}", &obj), com::Ok);
    EXPECT_EQ(canUnload(), com::StillInUse);
    delete obj;
    EXPECT_EQ(canUnload(), com::Ok);
    dlclose(handle);
}

TEST_F(SkinLibrary, RegsvrWritesTheProgIdWithTheLibraryPathAndRemovesIt)
{
    const auto regsvr = [](const QStringList& args) {
        QProcess p;
        p.start(QStringLiteral(Z5_BIN_DIR "/regsvr"), args);
        p.waitForFinished(30000);
        reg::resetCache();
        return p.exitCode();
    };
    ASSERT_EQ(regsvr({kMorvane}), 0);
    const QString clsid = com::classIdOf(QStringLiteral("SK_Morvane_1.clsResources"));
    EXPECT_EQ(clsid, QStringLiteral("{E0DFCCB5-BFCF-4830-81A0-B677C8A7F2BF}"));
    EXPECT_EQ(com::serverLibraryOf(clsid), QFileInfo(kMorvane).canonicalFilePath());
    ASSERT_TRUE(com::createObject(QStringLiteral("SK_Morvane_1.clsResources")).has_value());

    ASSERT_EQ(regsvr({QStringLiteral("/u"), kMorvane}), 0);
    EXPECT_FALSE(reg::keyExists(reg::Hive::ClassesRoot, QStringLiteral("SK_Morvane_1.clsResources")));
    EXPECT_FALSE(reg::keyExists(reg::Hive::ClassesRoot, QStringLiteral("CLSID\\") + clsid));
    EXPECT_FALSE(com::createObject(QStringLiteral("SK_Morvane_1.clsResources")).has_value());
}

TEST(SkinInstall, InstallingTheStagedFolderRegistersTheSkin)
{
    QProcess p;
    p.start(QStringLiteral(Z5_SOURCE_DIR "/scripts/install-program"), {QStringLiteral(Z5_STAGE_DIR)});
    ASSERT_TRUE(p.waitForFinished(60000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    reg::resetCache();
    const auto skin = com::createObject(QStringLiteral("SK_Morvane_1.clsResources"));
    ASSERT_TRUE(skin.has_value());
    EXPECT_EQ(skin->call(QStringLiteral("GetResourceString"), {101}).value.toString(), QStringLiteral("&HB77B5E"));
    // The test skin is never part of the program folder.
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral(Z5_STAGE_DIR "/Skin/SK_Blue_Sky.dll")));
    EXPECT_FALSE(com::createObject(QStringLiteral("SK_Blue_Sky.clsResources")).has_value());
}

TEST(SkinContactSheet, ShowsEveryPictureOfTheSkin)
{
    ASSERT_EQ(com::registerServer(kMorvane).status, com::RegistrationStatus::Done);
    const QString out = QDir::temp().filePath(QStringLiteral("sheet.png"));
    QProcess p;
    p.start(QStringLiteral(Z5_BIN_DIR "/skincontact"), {out});
    ASSERT_TRUE(p.waitForFinished(60000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const QString said = QString::fromUtf8(p.readAllStandardOutput());
    EXPECT_TRUE(said.contains(QString::number(skinart::pictureTable().size()) + QStringLiteral(" pictures")));
    const QImage sheet(out);
    ASSERT_FALSE(sheet.isNull());
    EXPECT_EQ(sheet.width(), 1280);
    EXPECT_GT(sheet.height(), 400);

    // An unregistered skin is refused with a hint, and nothing is written.
    const QString none = QDir::temp().filePath(QStringLiteral("none.png"));
    QProcess q;
    q.start(QStringLiteral(Z5_BIN_DIR "/skincontact"), {QStringLiteral("--skin"), QStringLiteral("Blue Sky"), none});
    ASSERT_TRUE(q.waitForFinished(60000));
    EXPECT_EQ(q.exitCode(), 2);
    EXPECT_TRUE(QString::fromUtf8(q.readAllStandardError()).contains(QStringLiteral("SK_Blue_Sky.clsResources")));
    EXPECT_FALSE(QFileInfo::exists(none));
}
