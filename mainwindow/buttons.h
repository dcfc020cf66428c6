#pragma once

// The skinned push buttons of the main window: caption buttons
// (cmdFormControl), browser navigation (cmdWBControl) and quick launch
// (cmdAppOpt). A press shows the pressed picture and runs the commands that
// act on the press; a release over the button shows its hover picture; the
// navigation commands run on the click.

#include <cstdint>

class frmExplorer;

void cmdWBControl_MouseDown(frmExplorer& f, int index);
void cmdWBControl_MouseUp(frmExplorer& f, int index);
void cmdWBControl_Click(frmExplorer& f, int index);

void cmdAppOpt_MouseDown(frmExplorer& f, int index, int button);
void cmdAppOpt_MouseUp(frmExplorer& f, int index);

void cmdFormControl_MouseDown(frmExplorer& f, int index);
void cmdFormControl_MouseUp(frmExplorer& f, int index);
void cmdFormControl_Click(frmExplorer& f, int index);

// Wires the three button arrays' press, release and click events.
void WireSkinnedButtons(frmExplorer& f);
