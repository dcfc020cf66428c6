#pragma once

// The main window with the real lists pane and downloads; tabs and the
// rest are recording fakes. Message boxes and the folder picker answer
// through the prompt seam as the test sets; the download manager is a
// small script in Tool/ that writes down the arguments it was started with.

#include "../lists/listsfixture.h"

#include "downloads/downloadsservice.h"
#include "downloads/frmdownload.h"
#include "modaldriver.h"

#include <QFile>

class DownloadsWindow : public ListsWindow {
protected:
    void SetUp() override
    {
        ListsWindow::SetUp();
        downloads = std::make_unique<DownloadsService>(*window, services);
        services.SetDownloads(downloads.get());
        downloads->handOff().framesetWaitMs = 100;
        downloads->statusCommands().stopWaitMs = 1500;
        downloads->statusCommands().startHoldMs = 300;
        QDir().mkpath(prog + "/Tool");
        const QString script = prog + "/Tool/Z5DownLoad.exe";
        testenv::writeFile(script, "#!/bin/sh\n{ echo \"$#\"; for a in \"$@\"; do echo \"$a\"; done; } >> \"" +
                                       prog.toUtf8() + "/started.txt\"\n");
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        platform::prompt::setResponder([this](const platform::prompt::Prompt& p) -> std::optional<platform::prompt::Answer> {
            prompts << p.kind + ":" + p.text;
            if (p.kind == "message") {
                const int code = answers.isEmpty() ? 1 : answers.takeFirst();
                return platform::prompt::Answer{true, code, {}};
            }
            if (p.kind == "folder")
                return platform::prompt::Answer{!picked.isEmpty(), 0, picked};
            return std::nullopt;
        });
    }
    void TearDown() override
    {
        services.SetDownloads(nullptr);
        downloads.reset();
        ListsWindow::TearDown();
    }

    QString data(const QString& file) const { return prog + "/Data/" + file; }
    // Each start of the download manager: its arguments.
    QList<QStringList> starts()
    {
        QList<QStringList> out;
        QStringList lines = QString::fromUtf8(testenv::readFile(prog + "/started.txt")).split('\n');
        for (int i = 0; i < lines.size(); ++i) {
            const int n = lines[i].toInt();
            if (lines[i].isEmpty())
                continue;
            out << lines.mid(i + 1, n);
            i += n;
        }
        return out;
    }
    bool waitForStarts(int count)
    {
        return testenv::waitFor([&] { return starts().size() >= count; }, 10000);
    }
    // Rows of a list: each the text, address, referrer, folder.
    void fill(int kind, const QList<QStringList>& items)
    {
        for (const QStringList& item : items) {
            platform::forms::ListRow row;
            for (int c = 0; c < item.size() && c < 5; ++c)
                row.columns[static_cast<size_t>(c)] = item[c];
            rows(kind).add(row);
        }
        window->ListItemCount[static_cast<size_t>(kind)] = rows(kind).count();
    }
    QStringList folders(int kind)
    {
        QStringList out;
        for (int i = 1; i <= rows(kind).count(); ++i)
            out << rows(kind).column(i, 3);
        return out;
    }
    QStringList messages() const
    {
        QStringList out;
        for (const QString& p : prompts)
            if (p.startsWith("message:"))
                out << p.mid(8);
        return out;
    }

    std::unique_ptr<DownloadsService> downloads;
    QStringList prompts;
    QList<int> answers; // message answers in order: 3 Yes, 2 No, 1 Cancel
    QString picked;     // the folder the picker answers, "" cancels
};

// Clicks a control of the window by its name ("Check1(0)", "cmdButton1(0)").
inline void clickControl(QWidget& window, const QString& name)
{
    QWidget* w = window.findChild<QWidget*>(name);
    ASSERT_NE(w, nullptr) << name.toStdString();
    // Check and option boxes are hit on their box, at the left.
    const bool box = name.startsWith("Check") || name.startsWith("Option");
    const QPoint centre(box ? 6 : w->width() / 2, w->height() / 2);
    QTest::mouseMove(w, centre);
    QTest::mousePress(w, Qt::LeftButton, {}, centre);
    QTest::mouseRelease(w, Qt::LeftButton, {}, centre);
    QCoreApplication::processEvents();
}
