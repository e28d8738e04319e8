#pragma once
// The word values dialog's grid: a table view whose mouse presses go to the dialog as
// "word k pressed with these keys", so the dialog keeps its own selection and the view's
// own selection and editing never come into play.
#include <QTableView>
#include <functional>

class WordGridView : public QTableView {
 public:
  // word: 1-based word under the mouse, 0 when none.
  using PressHandler = std::function<void(int word, Qt::MouseButton button,
                                          Qt::KeyboardModifiers modifiers, QPoint globalPos)>;

  explicit WordGridView(QWidget* parent = nullptr);
  void SetPressHandler(PressHandler handler) { onPress_ = std::move(handler); }

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  // The second press of a double click is still a click on a word.
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  PressHandler onPress_;
};
