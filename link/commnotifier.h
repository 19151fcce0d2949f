#ifndef DCX_LINK_COMMNOTIFIER_H
#define DCX_LINK_COMMNOTIFIER_H

#include <QObject>
#include <QString>

// How the connect procedure reaches the main window without knowing it: the
// window connects to these signals (the command-line tool need not).
class CommNotifier final : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
signals:
    // New main window caption: "DCX700 Comm - [Off Line]" or "DCX700 Comm - [<ID>]".
    void captionChanged(const QString& caption);
    // Connect failed: show the communications settings window (top-most, non
    // modal) before "Instrument not found." is shown.
    void showSettingsRequested();
};

#endif
