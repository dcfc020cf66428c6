// The download options dialog and the download set-up around it.

#include "downloadsfixture.h"

#include "core/globals.h"

namespace {

QString digitsAfterLoad(QString digits, int kind)
{
    // Any of positions 4 to 6 clears Offline; the download list only downloads.
    if (digits[3] == '1' || digits[4] == '1' || digits[5] == '1')
        digits[0] = '0';
    if (kind == 6)
        digits[1] = '1';
    return digits;
}

} // namespace

using OptionsDialog = DownloadsWindow;

TEST_F(OptionsDialog, EveryDigitCombinationComesBackThroughOK)
{
    for (int kind : {1, 6}) {
        for (int bits = 0; bits < 64; ++bits) {
            QString digits;
            for (int p = 0; p < 6; ++p)
                digits += (bits >> (5 - p)) & 1 ? '1' : '0';
            ListDownloadOptions[kind] = digits;
            ListTargetDirectory[kind] = "/data/dl";
            frmDownLoad dialog;
            dialog.DownloadListKind = static_cast<int16_t>(kind);
            dialog.load();
            DialogCancelled = 7;
            dialog.ApplyDownloadOptions(0);
            EXPECT_EQ(DialogCancelled, 0);
            EXPECT_EQ(ListDownloadOptions[kind], digitsAfterLoad(digits, kind)) << kind << " " << digits.toStdString();
            dialog.unload();
        }
    }
}

TEST_F(OptionsDialog, OfflineStandsApartAndAFolderIsNeededWithoutIt)
{
    ListDownloadOptions[2] = "101100";
    ListTargetDirectory[2] = "";
    frmDownLoad dialog;
    dialog.DownloadListKind = 2;
    dialog.show();
    QWidget& w = *dialog.window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w, 5000));
    EXPECT_EQ(dialog.Check1[0].value(), 0) << "opens with Offline cleared";
    EXPECT_EQ(dialog.Check1[1].value(), 1);

    // OK without a folder: 9016, the dialog stays, the answer is untouched.
    DialogCancelled = 5;
    clickControl(w, "cmdButton1(0)");
    EXPECT_EQ(messages(), QStringList{"Please select a directory to save files"});
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(DialogCancelled, 5);

    // Offline by a click, then any other choice clears it again (a click on
    // the option already chosen is no choice).
    for (const char* other : {"Option0(1)", "Option1(0)", "Check1(2)", "Check1(2)", "Check1(3)"}) {
        clickControl(w, "Check1(0)");
        ASSERT_EQ(dialog.Check1[0].value(), 1);
        clickControl(w, other);
        EXPECT_EQ(dialog.Check1[0].value(), 0) << other;
    }
    // A chosen folder clears it too; one trailing "/" goes, "/" stays.
    const struct {
        QString picked;
        QString kept;
    } browsed[] = {{"/data/dl/", "/data/dl"}, {"/", "/"}, {"", "/"}};
    for (const auto& b : browsed) {
        clickControl(w, "Check1(0)");
        picked = b.picked;
        clickControl(w, "cmdButton2(0)");
        EXPECT_EQ(dialog.TxtSelectedDir.text(), b.kept);
        EXPECT_EQ(ListTargetDirectory[2], b.kept);
        EXPECT_EQ(dialog.Check1[0].value(), b.picked.isEmpty() ? 1 : 0) << b.picked.toStdString();
    }

    // Typed folders: only absolute ones are kept, as typed.
    prompts.clear();
    const struct {
        QString typed;
        bool offline;
        bool accepted;
        QString kept;
    } typed[] = {
        {"data/dl", false, false, ""},       {"D:\\Files\\", false, false, ""}, {"/a\nb", false, false, ""},
        {"", true, true, ""},               {"data/dl", true, false, ""},      {"/data/dl/", false, true, "/data/dl/"},
        {"~/dl", false, true, QDir::homePath() + "/dl"},
    };
    for (const auto& t : typed) {
        dialog.Check1[0].setValue(t.offline ? 1 : 0);
        dialog.TxtSelectedDir.setText(t.typed);
        ListTargetDirectory[2] = "before";
        prompts.clear();
        if (!w.isVisible())
            dialog.show();
        clickControl(w, "cmdButton1(0)");
        EXPECT_EQ(!w.isVisible(), t.accepted) << t.typed.toStdString();
        EXPECT_EQ(messages().size(), t.accepted ? 0 : 1) << t.typed.toStdString();
        EXPECT_EQ(ListTargetDirectory[2], t.accepted ? t.kept : QString("before")) << t.typed.toStdString();
    }
    dialog.unload();
}

TEST_F(OptionsDialog, CancelPutsTheDigitsBackButKeepsABrowsedFolder)
{
    ListDownloadOptions[1] = "001000";
    ListTargetDirectory[1] = "/old";
    frmDownLoad dialog;
    dialog.DownloadListKind = 1;
    dialog.show();
    QWidget& w = *dialog.window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w, 5000));
    clickControl(w, "Check1(3)");
    clickControl(w, "Option1(0)");
    dialog.TxtSelectedDir.setText("relative");
    clickControl(w, "cmdButton1(0)"); // refused, but the digits were written
    EXPECT_EQ(ListDownloadOptions[1], "000001");
    picked = "/chosen/";
    clickControl(w, "cmdButton2(0)");
    clickControl(w, "cmdButton1(1)");
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(DialogCancelled, 1);
    EXPECT_EQ(ListDownloadOptions[1], "001000");
    EXPECT_EQ(ListTargetDirectory[1], "/chosen");
    dialog.unload();
}

TEST_F(OptionsDialog, PicturesOfTheImageAndDownloadLists)
{
    for (int kind : {3, 6}) {
        ListDownloadOptions[kind] = "010110";
        ListTargetDirectory[kind] = "/home/user/Downloads";
        frmDownLoad dialog;
        dialog.DownloadListKind = static_cast<int16_t>(kind);
        dialog.show();
        QWidget& w = *dialog.window();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w, 5000));
        QTest::qWait(50);
        // Every control lies inside the window.
        for (QWidget* child : w.findChildren<QWidget*>()) {
            if (child->isVisible() && child->parentWidget() == &w) {
                EXPECT_TRUE(w.rect().contains(child->geometry()))
                    << child->objectName().toStdString() << " " << child->geometry().x() << "," << child->geometry().y()
                    << " " << child->width() << "x" << child->height() << " in " << w.width() << "x" << w.height();
            }
        }
        EXPECT_EQ(dialog.Option0[0].enabled(), kind != 6);
        EXPECT_TRUE(dialog.Option0[1].value());
        w.grab().save(testenv::screenshotFolder() + QString("/download-options-kind%1.png").arg(kind));
        dialog.unload();
    }
}

// The set-up: the dialog modal over the window, then the folder into the
// list's items, asking first when only some have one.
TEST_F(OptionsDialog, TheSetUpFillsTheItemsAsAnswered)
{
    const QString chosen = "/data/new";
    const struct {
        const char* what;
        QStringList before;
        int answer; // 0: no question is asked
        QStringList after;
        int cancelled;
    } cases[] = {
        {"none has one", {"", ""}, 0, {chosen, chosen}, 3},
        {"all have one", {"/a", "/b"}, 0, {chosen, chosen}, 3},
        {"some, Yes", {"/a", ""}, 3, {chosen, chosen}, 3},
        {"some, No", {"/a", ""}, 2, {"/a", chosen}, 2},
        {"some, Cancel", {"/a", ""}, 1, {"/a", ""}, 1},
        {"a relative folder counts as none", {"rel", "/b"}, 2, {chosen, "/b"}, 2},
        {"an empty list", {}, 0, {}, 3},
    };
    for (const auto& c : cases) {
        rows(5).clear();
        QList<QStringList> items;
        for (const QString& f : c.before)
            items << QStringList{"n", "http://h/f", "", f};
        fill(5, items);
        window->ListCurrentItem[5] = 0;
        ListTargetDirectory[5] = "";
        window->LastFolders[5] = "/remembered";
        answers = c.answer ? QList<int>{c.answer} : QList<int>{};
        prompts.clear();
        QString shown;
        testenv::whenActive<QWidget>([&](QWidget& w) {
            shown = w.findChild<QLineEdit*>("TxtSelectedDir") ? w.findChild<QLineEdit*>("TxtSelectedDir")->text()
                                                                : QString("?");
            auto* box = w.findChild<QLineEdit*>("TxtSelectedDir");
            if (box)
                box->setText(chosen);
            clickControl(w, "cmdButton1(0)");
        });
        downloads->ShowDownloadSetup(5);
        EXPECT_EQ(shown, "/remembered") << c.what;
        EXPECT_EQ(folders(5), c.after) << c.what;
        EXPECT_EQ(messages().size(), c.answer ? 1 : 0) << c.what;
        EXPECT_EQ(DialogCancelled, c.cancelled) << c.what;
        EXPECT_EQ(window->LastFolders[5], chosen) << c.what;
    }
}
