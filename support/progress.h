#ifndef DCX_SUPPORT_PROGRESS_H
#define DCX_SUPPORT_PROGRESS_H

#include <QString>

// The progress window seen from below the windows: the database load and the
// upload and download report through it; the main window's splash implements it.
class ProgressSink {
public:
    virtual ~ProgressSink();
    virtual void show(const QString& caption) = 0;
    virtual void setLabel1(const QString& text) = 0;
    virtual void setLabel2(const QString& text) = 0;
    virtual void setRange(int minimum, int maximum) = 0;
    virtual void setValue(int value) = 0;
    virtual void hide() = 0;
    // Transfers offer the operator a Cancel button; other operations do not.
    // Call after show(); hide() takes the button away again.
    virtual void setCancellable(bool on);
    // True once the operator asked to stop; show() clears it. Read between
    // records, after the pending user input has been let through.
    virtual bool cancelRequested() const;
};

// The program-wide progress window; one that does nothing unless installed.
ProgressSink& progress();
// Installs p (not owned; nullptr restores the one that does nothing).
void setProgress(ProgressSink* p);

class ScopedProgress {
public:
    explicit ScopedProgress(ProgressSink& p);
    ~ScopedProgress();
    ScopedProgress(const ScopedProgress&) = delete;
    ScopedProgress& operator=(const ScopedProgress&) = delete;

private:
    ProgressSink* previous_;
};

#endif
