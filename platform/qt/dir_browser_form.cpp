#include "platform/qt/dir_browser_form.h"

#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/qt/directory_list_box.h"
#include "platform/qt/widget_text.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

namespace {

constexpr int ClientWidth = 571;
constexpr int ClientHeight = 311;
constexpr size_t PromptCompared = 26;

QFrame* RedBar(QWidget* parent, const char* name) {
  auto* bar = new QFrame(parent);
  bar->setObjectName(name);
  bar->setFixedHeight(3);
  bar->setAutoFillBackground(true);
  QPalette palette = bar->palette();
  palette.setColor(QPalette::Window, Qt::red);
  bar->setPalette(palette);
  return bar;
}

QString VolumeText(const TVolume& volume) {
  if (volume.Name.empty() || volume.Name == volume.Root) return WidgetText(volume.Root);
  return WidgetText(volume.Root + "  [" + volume.Name + "]");
}

}  // namespace

bool IsBrowseCaption(const std::string& Caption) {
  if (Caption == "Select a directory to receive the exported batch") return true;
  const std::string opening = Caption.substr(0, PromptCompared);
  return opening == "Select the folder to which" || opening == "Select the folder that con";
}

TDirBrowserForm::TDirBrowserForm(QWidget* Parent) : QDialog(Parent) {
  setObjectName("DirBrowserForm");
  // A dialog border without the title bar's buttons: OK or Cancel ends it.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setFixedSize(ClientWidth, ClientHeight);

  Label1 = new QLabel(this);
  Label1->setObjectName("Label1");
  Label1->setTextFormat(Qt::PlainText);
  QFont bold = Label1->font();
  bold.setBold(true);
  Label1->setFont(bold);
  Shape2 = RedBar(this, "Shape2");
  DirectoryListBox1 = new TDirectoryListBox(this);
  DirectoryListBox1->setObjectName("DirectoryListBox1");
  Shape3 = RedBar(this, "Shape3");
  DriveComboBox1 = new QComboBox(this);
  DriveComboBox1->setObjectName("DriveComboBox1");
  DriveComboBox1->setMinimumWidth(220);
  DriveComboBox1->installEventFilter(this);
  BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), "OK", this);
  BitBtn1->setObjectName("BitBtn1");
  CancelBitBtn = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), "Cancel", this);
  CancelBitBtn->setObjectName("CancelBitBtn");
  // Enter in the folder list opens a folder; no button takes it.
  BitBtn1->setAutoDefault(false);
  CancelBitBtn->setAutoDefault(false);

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(DriveComboBox1);
  bottom->addStretch(1);
  bottom->addWidget(BitBtn1);
  bottom->addWidget(CancelBitBtn);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Label1);
  layout->addWidget(Shape2);
  layout->addWidget(DirectoryListBox1, 1);
  layout->addWidget(Shape3);
  layout->addLayout(bottom);

  connect(DriveComboBox1, &QComboBox::activated, this, [this] {
    DriveComboBox1Change();
    DriveComboBox1Click();
  });
  connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
  connect(CancelBitBtn, &QPushButton::clicked, this, [this] { CancelBitBtnClick(); });
  DirectoryListBox1->OnChange = [this] { FolderChanged(); };

  LoadVolumes();
  const std::string home = StoredText(QDir::homePath());
  if (!DirectoryListBox1->SetDirectory(home)) DirectoryListBox1->SetDirectory("/");
}

void TDirBrowserForm::SetCaption(const std::string& Caption) { setWindowTitle(WidgetText(Caption)); }

std::string TDirBrowserForm::Caption() const { return StoredText(windowTitle()); }

void TDirBrowserForm::FormShow() { BrowseMode = IsBrowseCaption(Caption()); }

void TDirBrowserForm::FormActivate() { DirectoryListBox1->setFocus(); }

TVolume TDirBrowserForm::ChosenVolume() const {
  const int index = DriveComboBox1->currentIndex();
  if (index < 0 || size_t(index) >= volumes_.size()) return VolumeOf(DirectoryListBox1->Directory());
  return volumes_[size_t(index)];
}

void TDirBrowserForm::DriveComboBox1Change() {
  const TVolume chosen = ChosenVolume();
  if (chosen.Root == VolumeOf(DirectoryListBox1->Directory()).Root) return;
  if (!VolumeReadable(chosen) || !DirectoryListBox1->SetDirectory(chosen.Root)) {
    MessageDlg(DriveNotReadyMsg, mtError, mbOKOnly);
    ShowFolderVolume();
  }
}

void TDirBrowserForm::DriveComboBox1Exit() { DriveComboBox1Change(); }

void TDirBrowserForm::DriveComboBox1Click() {
  FormActivate();
  QApplication::processEvents();
}

void TDirBrowserForm::BitBtn1Click() {
  DirChosen = true;
  accept();
}

void TDirBrowserForm::CancelBitBtnClick() {
  DirChosen = false;
  QDialog::reject();
}

void TDirBrowserForm::reject() { CancelBitBtnClick(); }

void TDirBrowserForm::showEvent(QShowEvent* Event) {
  QDialog::showEvent(Event);
  FormShow();
  if (QScreen* screen = QApplication::primaryScreen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  FormActivate();
}

bool TDirBrowserForm::eventFilter(QObject* Watched, QEvent* Event) {
  if (Watched == DriveComboBox1 && Event->type() == QEvent::FocusOut) DriveComboBox1Exit();
  return QDialog::eventFilter(Watched, Event);
}

void TDirBrowserForm::LoadVolumes() {
  volumes_ = MountedVolumes();
  DriveComboBox1->clear();
  for (const TVolume& volume : volumes_) DriveComboBox1->addItem(VolumeText(volume));
}

void TDirBrowserForm::FolderChanged() {
  Label1->setText(WidgetText(DirectoryListBox1->Directory()));
  ShowFolderVolume();
}

void TDirBrowserForm::ShowFolderVolume() {
  const TVolume volume = VolumeOf(DirectoryListBox1->Directory());
  for (size_t i = 0; i < volumes_.size(); ++i) {
    if (volumes_[i].Root == volume.Root) {
      DriveComboBox1->setCurrentIndex(int(i));
      return;
    }
  }
  volumes_.push_back(volume);
  DriveComboBox1->addItem(VolumeText(volume));
  DriveComboBox1->setCurrentIndex(int(volumes_.size() - 1));
}

bool TDirBrowserForm::VolumeReadable(const TVolume& Volume) const {
  if (!Volume.Ready) return false;
  const QFileInfo root(WidgetText(Volume.Root));
  return root.isDir() && root.isReadable() && root.isExecutable();
}
