// The main window's hardware command: the profile editor, shown modally
// through the window's modal parts, with the window's message and Yes/No
// boxes and the profile-name dialog for Save As. The window refreshes its
// status bar when the editor has closed.
#pragma once

class TFormKorvane;

void InstalaEditorPerfiles(TFormKorvane& ventana);
