// A label that looks and acts like a link: navy, underlined, hand cursor, and a click handler.
#pragma once

#include <QLabel>
#include <functional>
#include <string>

class TLinkLabel : public QLabel {
 public:
  // The caption may carry a '&' accelerator marker; it is not drawn.
  TLinkLabel(QWidget* parent, const std::string& caption, const QColor& color);

  const std::string& Caption() const { return caption_; }

  std::function<void()> OnClick;

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  std::string caption_;
};
