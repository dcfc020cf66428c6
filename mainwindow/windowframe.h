#pragma once

// The borderless window's skinned frame behaves like a system frame: a
// press near an edge or corner of a frame piece hands a resize to the window
// system, a press on the title pieces hands it a move, and the pointer shows
// the matching sizing shape. Nothing of this while the window is maximised.

#include <QPoint>

#include <cstdint>
#include <optional>

class frmExplorer;

// Hit codes: 0 nothing, 2 caption (move), 10 left, 11 right, 12 top,
// 13 top-left, 14 top-right, 15 bottom, 16 bottom-left, 17 bottom-right.
// x, y: the point within piece index, in twips; w, h: that piece's size;
// titleHeight: the height of piece 4.
int FrameHitCode(int index, double x, double y, double w, double h, double titleHeight);
// The mouse-pointer code over piece index at x, y: 0 default, 6 NE-SW,
// 7 N-S, 8 NW-SE, 9 W-E.
int FramePointer(int index, double x, double y, double w, double h);

void SkinPiece_MouseDown(frmExplorer& f, int index, int button, int shift, double x, double y);
void SkinPiece_MouseMove(frmExplorer& f, int index, int button, int shift, double x, double y);

// Codes outside 10-17 do nothing. pressAt: where the press was, in global
// pixels (the pointer's position when not given).
// button: the button held (1 left, 2 right), which the move or resize follows.
void StartFrameResize(frmExplorer& f, int hitCode, std::optional<QPoint> pressAt = std::nullopt, int button = 1);
void StartWindowDrag(frmExplorer& f, std::optional<QPoint> pressAt = std::nullopt, int button = 1);

// The frame pieces' press and move events, and the Move caption button.
void WireWindowFrame(frmExplorer& f);
