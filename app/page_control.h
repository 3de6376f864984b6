// A tab widget whose user-made page changes can be refused, as a page control's "changing" event
// allows: a click on a tab, the tab bar's arrow keys and wheel, and Ctrl+Tab / Ctrl+PageUp/Down
// all ask OnChanging first. Changes the program makes with SetActivePageIndex do not ask.
#pragma once

#include <QTabWidget>
#include <functional>

class TPageControl : public QTabWidget {
 public:
  explicit TPageControl(QWidget* parent);

  // Called before a user-made change; returns whether it may happen.
  std::function<bool()> OnChanging;

  int ActivePageIndex() const { return currentIndex(); }
  void SetActivePageIndex(int index) { setCurrentIndex(index); }

  // Whether a user-made change may happen now.
  bool AllowChange() const { return !OnChanging || OnChanging(); }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};
