#ifndef DCX_SUPPORT_MODFORMUTIL_H
#define DCX_SUPPORT_MODFORMUTIL_H

class QWidget;

// Window placement in the per-user settings ("DCX700 Comm", group
// "Form Positions", key = the window's objectName).

void SaveFormPosition(QWidget* form);
// Applies the stored placement; nothing changes when none is stored. Fixed-size
// windows keep their size; with keepOnScreen the window is moved onto the screen.
void RestoreFormPosition(QWidget* form, bool keepOnScreen = true);
void CenterFormScreen(QWidget* form);
// Top-most (on) or normal (off), without moving or sizing it.
void FormOnTop(QWidget* form, bool on);

#endif
