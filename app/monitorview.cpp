#include "app/monitorview.h"

MonitorView::~MonitorView() = default;
