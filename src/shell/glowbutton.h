#pragma once

#include <QPushButton>

/// A square-cornered push button that lights up in pale blue gradients
/// with a silver border under the mouse or when pressed. An optional
/// picture stands 5 pixels left of the text.
class GlowButton : public QPushButton {
  Q_OBJECT
 public:
  explicit GlowButton(const QString& text, QWidget* parent = nullptr);
  void setPicture(const QPixmap& picture);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QPixmap picture_;
};
