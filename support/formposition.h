#ifndef DCX_SUPPORT_FORMPOSITION_H
#define DCX_SUPPORT_FORMPOSITION_H

#include <QRect>
#include <QString>
#include <optional>

// A window's stored placement and its settings text "L=..;T=..;W=..;H=..;S=..;".
struct FormPosition {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int state = 0; // 0 normal, 1 minimised, 2 maximised
};

QString FormPositionText(const FormPosition& p);
// nullopt for an empty text; numbers that are missing read as 0.
std::optional<FormPosition> ParseFormPosition(const QString& text);
// Moves rect so that it lies within screen (as far as its size allows).
QRect KeepOnScreen(const QRect& rect, const QRect& screen);

// Where window positions live in the per-user settings.
inline constexpr const char* FormSettingsOrganization = "DCX700 Comm";
inline constexpr const char* FormSettingsApplication = "DCX700 Comm";
inline constexpr const char* FormSettingsGroup = "Form Positions";

#endif
