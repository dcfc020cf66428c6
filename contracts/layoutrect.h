#pragma once

// The working rectangle of the body layout, in twips; the tab strip and the
// side pane take their share of it by reference.
struct LayoutRect {
    float Left = 0;
    float Top = 0;
    float Width = 0;
    float Height = 0;
};
