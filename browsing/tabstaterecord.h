#pragma once

// The state record each tab browser keeps in its Tag: decimal Integers
// joined by "|" (PopupRole, ViewKind, CanGoBack, CanGoForward, PopupCount,
// OpenerBrowser, then one field per popup tab opened). The functions work on
// the text; the tab model applies them to the browsers.

#include <QString>

#include <cstdint>

inline const QString kInitialTabState = QStringLiteral("0|1|0|0|0|-1");

enum TabStateField : int {
    FieldPopupRole = 0,
    FieldViewKind = 1,
    FieldCanGoBack = 2,
    FieldCanGoForward = 3,
    FieldPopupCount = 4,
    FieldOpenerBrowser = 5,
    FieldFirstChild = 6,
};

// Field `field` as an Integer; 0 for a missing field or a text that is not
// an Integer.
int16_t TabStateFieldOf(const QString& record, int field);
// The record with field `field` replaced by value; a field beyond the last
// changes nothing (the record never grows); an empty record stays empty.
QString TabStateWithField(const QString& record, int field, int16_t value);
// The record without the child fields equal to child. A record shorter than
// six fields has no child list and is returned unchanged.
QString TabStateWithoutChild(const QString& record, int16_t child);
