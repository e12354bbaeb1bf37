#include "platform/qt/directory_list_box.h"

#include "platform/files.h"
#include "platform/qt/widget_text.h"

#include <QKeyEvent>
#include <QStyle>

namespace {

constexpr int Columns = 3;
constexpr int PathRole = Qt::UserRole;

std::string ChildPath(const std::string& folder, const std::string& name) {
  return folder == "/" ? "/" + name : folder + "/" + name;
}

}  // namespace

TDirectoryListBox::TDirectoryListBox(QWidget* Parent) : QListWidget(Parent) {
  setViewMode(QListView::ListMode);
  setFlow(QListView::TopToBottom);
  setWrapping(true);
  setResizeMode(QListView::Adjust);
  setUniformItemSizes(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  connect(this, &QListWidget::itemActivated, this, &TDirectoryListBox::OpenEntry);
}

bool TDirectoryListBox::SetDirectory(const std::string& Folder) {
  if (Folder.empty() || !DirectoryExists(Folder)) return false;
  std::string path = ResolvePath(Folder);
  if (path.empty() || path.front() != '/') return false;
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  directory_ = path;
  Fill();
  if (OnChange) OnChange();
  return true;
}

std::vector<std::string> TDirectoryListBox::EntryNames() const {
  std::vector<std::string> names;
  for (int i = 0; i < count(); ++i) names.push_back(StoredText(item(i)->text()));
  return names;
}

void TDirectoryListBox::Fill() {
  clear();
  const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
  const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
  auto add = [&](const QIcon& icon, const std::string& name, const std::string& path) {
    auto* entry = new QListWidgetItem(icon, WidgetText(name), this);
    entry->setData(PathRole, WidgetText(path));
    return entry;
  };
  QListWidgetItem* current = add(open, "/", "/");
  std::string path;
  for (size_t start = 1; start < directory_.size();) {
    size_t end = directory_.find('/', start);
    if (end == std::string::npos) end = directory_.size();
    const std::string name = directory_.substr(start, end - start);
    path += "/" + name;
    current = add(open, name, path);
    start = end + 1;
  }
  for (const FileEntry& entry : FindFiles(ChildPath(directory_, "*")))
    if ((entry.Attr & faDirectory) && !(entry.Attr & faHidden)) add(closed, entry.Name, ChildPath(directory_, entry.Name));
  // The current folder stands out from the folders above and in it.
  QFont bold = current->font();
  bold.setBold(true);
  current->setFont(bold);
  setCurrentItem(current);
  FitColumns();
}

void TDirectoryListBox::OpenEntry(QListWidgetItem* Item) {
  if (!Item) return;
  const std::string path = StoredText(Item->data(PathRole).toString());
  if (path != directory_) SetDirectory(path);
}

void TDirectoryListBox::keyPressEvent(QKeyEvent* Event) {
  // Enter opens the selected folder here; it never reaches the dialog's
  // default button.
  if (Event->key() == Qt::Key_Return || Event->key() == Qt::Key_Enter) {
    OpenEntry(currentItem());
    Event->accept();
    return;
  }
  QListWidget::keyPressEvent(Event);
}

void TDirectoryListBox::resizeEvent(QResizeEvent* Event) {
  QListWidget::resizeEvent(Event);
  FitColumns();
}

void TDirectoryListBox::FitColumns() {
  const int rowHeight = fontMetrics().height() + 4;
  setGridSize(QSize(qMax(40, viewport()->width() / Columns), rowHeight));
}
