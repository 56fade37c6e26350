#include "shell/dialogs.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

namespace {

class QtDialogs : public Dialogs {
 public:
  void messageBox(QWidget* parent, const QString& title, const QString& text, MessageIcon icon) override {
    QMessageBox box(icon == MessageIcon::Error ? QMessageBox::Critical : QMessageBox::Information, title, text,
                    QMessageBox::Ok, parent);
    box.exec();
  }

  void errorDialog(QWidget* parent, const QString& text) override {
    messageBox(parent, QStringLiteral("Error"), text, MessageIcon::Error);
  }

  QUrl chooseFolder(QWidget* parent, const FolderDialogStyle& style, const QString& startFolder) override {
    QFileDialog dialog(parent);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setDirectory(startFolder);
    if (!style.newStyle) dialog.setOption(QFileDialog::ReadOnly);  // no new-folder button
    if (style.centred) {
      dialog.adjustSize();
      if (const QScreen* screen = QGuiApplication::primaryScreen())
        dialog.move(screen->availableGeometry().center() - dialog.rect().center());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedUrls().isEmpty()) return {};
    return dialog.selectedUrls().first();
  }
};

Dialogs* current = nullptr;

}  // namespace

Dialogs& dialogs() {
  static QtDialogs real;
  return current != nullptr ? *current : real;
}

void setDialogs(Dialogs* replacement) { current = replacement; }
