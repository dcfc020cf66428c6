#pragma once

// A question to the page of a browser answered while the caller waits:
// the answer comes on the event loop, which runs meanwhile, up to a bound.

#include "platform/win/ibrowser.h"

#include <QString>

#include <optional>

// The whole text answer of the script (IBrowser::evaluateWhole); nullopt
// without a browser, when it cannot arrive whole or not within limitMs.
// Never inside a callback of the web engine.
std::optional<QString> AskPage(platform::browser::IBrowser* browser, const QString& script, int limitMs = 15000);
