#pragma once

// The one seam every modal prompt passes through: message boxes, file and
// folder pickers, print and colour dialogs. A test installs a responder that
// answers prompts without a window; a process started with
// PLATFORM_PROMPT_LOG=<file> in its environment answers every prompt with
// its default answer (code PLATFORM_PROMPT_CODE, or 0) and appends one line
// "kind<TAB>title<TAB>text" per prompt to that file, so that the suite never
// blocks on a window. PLATFORM_PROMPT_ANSWERS=<file> gives such a process
// chosen answers: each line "kind<TAB>text[<TAB>text...]" accepts the next
// prompt of that kind with those texts (a picker's paths), once, in the
// order of the file; prompts left without one get the default answer.

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace platform::prompt {

struct Prompt {
    QString kind;     // "message", "open", "save", "folder", "print", "color", ...
    QString title;
    QString text;     // the message, or the picker's initial path
    QString filter;   // file pickers: the filter string
    QStringList choices; // message boxes: the button captions
};

struct Answer {
    bool accepted = false; // a file or folder was chosen, a print confirmed
    int code = 0;          // message boxes: the caller's return value
    QString text;          // the chosen path, or other text
    QStringList paths{};   // file pickers: every chosen path, in the picker's order
};

using Responder = std::function<std::optional<Answer>(const Prompt&)>;

// Installs a responder for this process; an empty one removes it. A
// responder that returns nullopt lets the window show.
void setResponder(Responder responder);

// Answers the prompt through the responder (or the environment's log), or
// else by running interactive(), which shows the real window.
Answer ask(const Prompt& prompt, const std::function<Answer()>& interactive);

} // namespace platform::prompt
