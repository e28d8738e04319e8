#pragma once
// The user wave editor: names the wave, sets its default value and its number of explicit
// samples, edits the samples in a grid, and saves or recalls its wave file. It edits the
// caller's table in place; Cancel puts the table and the file name back.
#include <QDialog>
#include <memory>
#include <string>

#include "simulator/UserWaveEdits.h"

class QCheckBox;
class QLabel;
class QMenu;
class QPushButton;
class QTableWidget;

class TQm48UserDefWaveDlg : public QDialog {
  Q_OBJECT

 public:
  TQm48UserDefWaveDlg(UserWaveTable& table, const std::string& fileName, int cellCount,
                      QWidget* parent = nullptr);
  ~TQm48UserDefWaveDlg() override;

  // The file name to hand back after exec(): the edited one on Accept, the starting one
  // on Cancel (the table is then restored too).
  std::string ResultFileName() const { return resultFileName_; }

  void RefreshDisplay();
  // Every cell's text back into its sample, in the radix the grid shows.
  void ReadGrid();
  userwaveeditclass& Editor() { return *editor_; }

  QLabel* TitleLabel = nullptr;
  QPushButton* FileButton = nullptr;
  QMenu* FileMenu = nullptr;
  QMenu* CommonMenu = nullptr;
  QLabel* WaveLabelValue = nullptr;
  QLabel* DefaultValueValue = nullptr;
  QLabel* WordCountValue = nullptr;
  QCheckBox* CheckBoxHex = nullptr;
  QTableWidget* Grid = nullptr;
  QPushButton* AcceptButton = nullptr;
  QPushButton* CancelButton = nullptr;

  void accept() override;
  void reject() override;

 private:
  void MenuEdit(bool (userwaveeditclass::*edit)());
  void FileAction(void (userwaveeditclass::*action)());

  std::unique_ptr<userwaveeditclass> editor_;
  std::string resultFileName_;
  bool hexShown_ = true;     // the radix the grid's texts are written in
  bool refreshing_ = false;  // the display refresh is running
};

// Runs the editor modally on the caller's table; true when the operator pressed Accept.
// fileName is the slot's wave file name, handed back as edited (or as it was on Cancel).
bool EditUserWave(UserWaveTable& table, std::string& fileName, int cellCount,
                  QWidget* parent = nullptr);
