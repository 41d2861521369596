#pragma once
// The focus shown on a scrolling pane's frame: the style marks no focus
// around a text pane or a grid whose focus came other than by Tab.
class QAbstractScrollArea;
class QEvent;

// Called from the pane's event() after its own handling: on a paint, the
// frame in the highlight colour while the pane has the focus; a change of
// focus repaints it.
void ShowFocusOnFrame(QAbstractScrollArea& pane, const QEvent& event);
