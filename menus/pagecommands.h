#pragma once

// The commands on the page of a browser: editing, find, text size, print,
// save and the page's properties. Prompts go through the prompt seam
// (platform/win/prompt.h): "save" for the file of Save As, "print" for print
// (an accepted answer with a path prints to that PDF file). Find only gives
// the page the focus: its caller opens the window's find bar.

#include "menus/menucommands.h"

#include <QString>

class QWidget;

#include <functional>

namespace platform::browser {
class IBrowser;
}

namespace pagecommands {

// Runs the command on the browser; nothing for a null browser.
void Run(platform::browser::IBrowser* browser, PageCommand command);

// Zoom steps of the five text sizes (0 smallest .. 4 largest) and back.
double ZoomFactorForSize(int size);
int SizeForZoomFactor(double factor);
void SetTextSize(platform::browser::IBrowser* browser, int size);
// The size the page shows; 2 (medium) when the browser cannot say.
int TextSize(platform::browser::IBrowser* browser);

// Finds text on the page; done(found) runs once the engine answered.
void Find(platform::browser::IBrowser* browser, const QString& text, std::function<void(bool)> done = {});
// Writes the page as PDF; done(ok) once the file is written.
void PrintToPdf(platform::browser::IBrowser* browser, const QString& localPath, std::function<void(bool)> done = {});
// Writes the page's HTML to the file (atomically); done(ok).
void SaveHtml(platform::browser::IBrowser* browser, const QString& localPath, std::function<void(bool)> done = {});
// The properties text: title, address, size in bytes and the time asked.
QString PropertiesText(platform::browser::IBrowser* browser, qint64 size);

} // namespace pagecommands
