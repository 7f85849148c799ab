#pragma once
// The Tab key follows what the user sees: rows from the top, left to right within a row, and the
// controls of a frame together.
class QObject;
class QWidget;
template <typename T> class QList;

namespace taborder {

// The tab stops under `root` in reading order.
QList<QWidget*> VisualChain(QWidget* root);
// Links the tab stops under `root` in reading order.
void SetVisualTabOrder(QWidget* root);
// From now on every window, and every page of a tab or stack, gets its tab order from where
// its controls are each time it is shown. The watcher lives as long as `owner`.
void FollowVisualOrder(QObject* owner);

} // namespace taborder
