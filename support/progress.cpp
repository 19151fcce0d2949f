#include "support/progress.h"

ProgressSink::~ProgressSink() = default;
void ProgressSink::setCancellable(bool) {}
bool ProgressSink::cancelRequested() const
{
    return false;
}

namespace {

class NullProgress final : public ProgressSink {
public:
    void show(const QString&) override {}
    void setLabel1(const QString&) override {}
    void setLabel2(const QString&) override {}
    void setRange(int, int) override {}
    void setValue(int) override {}
    void hide() override {}
};

NullProgress& nullProgress()
{
    static NullProgress p;
    return p;
}

ProgressSink* g_progress = nullptr;

} // namespace

ProgressSink& progress()
{
    return g_progress ? *g_progress : nullProgress();
}
void setProgress(ProgressSink* p)
{
    g_progress = p;
}

ScopedProgress::ScopedProgress(ProgressSink& p) : previous_(g_progress)
{
    g_progress = &p;
}
ScopedProgress::~ScopedProgress()
{
    g_progress = previous_;
}
