#pragma once

// The address box: Ctrl+Enter turns a bare name into a web address, Enter
// navigates, a dropped text navigates, and the typed-address list (values
// "url1", "url2", ... of the system's typed-address key, read up to the
// first missing or empty one) is shown by the drop-down arrow and extended
// with each address the user typed.

#include <QString>
#include <QStringList>

// The Ctrl+Enter completion: "www." in front when the text holds no "www.",
// ".com" behind when it holds no ".com", "http://" in front when it holds no
// "http" (case-sensitive, anywhere in the text). A blank text is returned
// as it was.
QString CompleteBareName(const QString& text);

// The typed addresses from "url1" up to the first missing or empty value.
QStringList ReadTypedUrls();

// Appends text after the run of typed addresses (the first free number);
// entries are never shifted, merged or limited.
void AddTypedUrl(const QString& text);
