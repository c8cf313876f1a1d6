// The XG command: pick an equipment table in the drawing, recognise it, let the current table editor
// (SbbTableEditor.h) edit its rows and write them back.
#pragma once

// Runs the command on the working database with the host's user services. Returns IDOK when edited
// rows were written back, IDCANCEL otherwise (nothing picked, a failure, the editor cancelled).
int SbbEditTableCommand();
