#include "app/page_control.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QTabBar>
#include <QWheelEvent>

namespace {

// The tab bar asks the page control before any change the user makes on it.
class GuardedTabBar : public QTabBar {
 public:
  explicit GuardedTabBar(TPageControl* owner) : QTabBar(owner), owner_(owner) {}

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    const int tab = tabAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && tab >= 0 && tab != currentIndex() &&
        !owner_->AllowChange()) {
      event->accept();
      return;
    }
    QTabBar::mousePressEvent(event);
  }

  void keyPressEvent(QKeyEvent* event) override {
    switch (event->key()) {
      case Qt::Key_Left:
      case Qt::Key_Right:
      case Qt::Key_Up:
      case Qt::Key_Down:
      case Qt::Key_Home:
      case Qt::Key_End:
        if (!owner_->AllowChange()) {
          event->accept();
          return;
        }
        break;
      default:
        break;
    }
    QTabBar::keyPressEvent(event);
  }

  void wheelEvent(QWheelEvent* event) override {
    if (!owner_->AllowChange()) {
      event->accept();
      return;
    }
    QTabBar::wheelEvent(event);
  }

 private:
  TPageControl* owner_;
};

bool IsPageSwitchKey(const QKeyEvent* event) {
  if (!(event->modifiers() & Qt::ControlModifier)) return false;
  switch (event->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
      return true;
    default:
      return false;
  }
}

}  // namespace

TPageControl::TPageControl(QWidget* parent) : QTabWidget(parent) {
  setTabBar(new GuardedTabBar(this));
  // The five captions fit the control's width as they do with the original 8-point font, whose
  // stand-in here is wider.
  QFont captions = tabBar()->font();
  captions.setPointSizeF(7);
  tabBar()->setFont(captions);
}

void TPageControl::keyPressEvent(QKeyEvent* event) {
  if (IsPageSwitchKey(event) && !AllowChange()) {
    event->accept();
    return;
  }
  QTabWidget::keyPressEvent(event);
}
