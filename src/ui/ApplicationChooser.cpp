#include "ApplicationChooser.h"

#include "SettingsServices.h"
#include "base/Tolvane.h"
#include "platform/ApplicationCatalogue.h"

#include <QCollator>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

namespace {

constexpr int kIdRole = Qt::UserRole;

QIcon entryIcon(const QString& name)
{
    if (name.isEmpty())
        return {};
    if (QFileInfo(name).isAbsolute())
        return QFileInfo::exists(name) ? QIcon(name) : QIcon();
    return QIcon::fromTheme(name);
}

// Qt's own file dialog saves its places, history and last folder into the
// QtProject.conf that every Qt application shares. Whatever it saves while
// Tolvane uses it is put back afterwards.
class SharedFileDialogState {
public:
    SharedFileDialogState()
    {
        QSettings settings(QSettings::UserScope, QStringLiteral("QtProject"));
        m_fileName = settings.fileName();
        m_fileExisted = QFileInfo::exists(m_fileName);
        settings.beginGroup(group());
        for (const QString& key : settings.allKeys())
            m_values.insert(key, settings.value(key));
    }

    void restore() const
    {
        {
            QSettings settings(QSettings::UserScope, QStringLiteral("QtProject"));
            settings.remove(group());
            settings.beginGroup(group());
            for (auto it = m_values.cbegin(); it != m_values.cend(); ++it)
                settings.setValue(it.key(), it.value());
        }
        if (!m_fileExisted && m_values.isEmpty())
            QFile::remove(m_fileName);
    }

private:
    static QString group() { return QStringLiteral("FileDialog"); }

    QString m_fileName;
    bool m_fileExisted = false;
    QVariantMap m_values;
};

} // namespace

ApplicationChooser::ApplicationChooser(const QString& languageTag, QWidget* parent)
    : QDialog(parent)
{
    setWindowModality(Qt::WindowModal);
    resize(420, 460);
    auto* column = new QVBoxLayout(this);
    m_search = new QLineEdit(this);
    m_search->setClearButtonEnabled(true);
    column->addWidget(m_search);
    m_list = new QListWidget(this);
    m_list->setIconSize(QSize(24, 24));
    m_list->setUniformItemSizes(true);
    column->addWidget(m_list, 1);

    auto* buttons = new QHBoxLayout;
    m_other = new QPushButton(this);
    m_other->setAutoDefault(false);
    m_cancel = new QPushButton(this);
    m_cancel->setAutoDefault(false);
    m_choose = new QPushButton(this);
    m_choose->setDefault(true);
    buttons->addWidget(m_other);
    buttons->addStretch(1);
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_choose);
    column->addLayout(buttons);

    connect(m_search, &QLineEdit::textChanged, this, &ApplicationChooser::filter);
    connect(m_list, &QListWidget::currentItemChanged, this,
            [this](QListWidgetItem* item) { m_choose->setEnabled(item && !item->isHidden()); });
    connect(m_list, &QListWidget::itemActivated, this, &ApplicationChooser::chooseCurrent);
    connect(m_choose, &QPushButton::clicked, this, &ApplicationChooser::chooseCurrent);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_other, &QPushButton::clicked, this, &ApplicationChooser::openFileDialog);
    // The arrow keys move through the list while the search field keeps the focus.
    m_search->installEventFilter(this);

    fill(languageTag);
    retranslate();
    filter(QString());
    m_search->setFocus();
}

void ApplicationChooser::fill(const QString& languageTag)
{
    using Row = ApplicationCatalogue::Application;
    ApplicationCatalogue* catalogue = SettingsServices::current().applicationCatalogue();
    QList<Row> rows = catalogue ? catalogue->applications(languageTag) : QList<Row>{};
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(rows.begin(), rows.end(), [&collator](const Row& a, const Row& b) {
        const int order = collator.compare(a.name, b.name);
        return order != 0 ? order < 0 : a.id < b.id;
    });
    const QIcon placeholder = QIcon::fromTheme(QStringLiteral("application-x-executable"));
    for (const Row& row : std::as_const(rows)) {
        const QIcon icon = entryIcon(row.iconName);
        auto* item = new QListWidgetItem(icon.isNull() ? placeholder : icon, row.name, m_list);
        item->setData(kIdRole, row.id);
        item->setToolTip(row.id);
    }
}

QStringList ApplicationChooser::shownNames() const
{
    QStringList names;
    for (int row = 0; row < m_list->count(); ++row) {
        if (!m_list->item(row)->isHidden())
            names.append(m_list->item(row)->text());
    }
    return names;
}

void ApplicationChooser::filter(const QString& text)
{
    const QString wanted = text.trimmed();
    QListWidgetItem* first = nullptr;
    for (int row = 0; row < m_list->count(); ++row) {
        QListWidgetItem* item = m_list->item(row);
        const bool match = wanted.isEmpty() || item->text().contains(wanted, Qt::CaseInsensitive)
            || item->data(kIdRole).toString().contains(wanted, Qt::CaseInsensitive);
        item->setHidden(!match);
        if (match && !first)
            first = item;
    }
    QListWidgetItem* current = m_list->currentItem();
    if (!current || current->isHidden())
        m_list->setCurrentItem(first);
    m_choose->setEnabled(m_list->currentItem() && !m_list->currentItem()->isHidden());
}

void ApplicationChooser::chooseCurrent()
{
    QListWidgetItem* item = m_list->currentItem();
    if (!item || item->isHidden())
        return;
    Q_EMIT applicationChosen(item->data(kIdRole).toString(), item->text());
    accept();
}

void ApplicationChooser::openFileDialog()
{
    if (m_fileDialog)
        return;
    ApplicationCatalogue* catalogue = SettingsServices::current().applicationCatalogue();
    const QString folder = catalogue ? catalogue->applicationFolder() : QString();
    const QString start = folder.isEmpty() ? QDir::homePath() : folder;
    auto state = std::make_shared<SharedFileDialogState>();
    m_fileDialog = new QFileDialog(this, Tolvane::tr("Choose an application"), start,
                                   Tolvane::tr("Application entries (*.desktop)"));
    m_fileDialog->setAttribute(Qt::WA_DeleteOnClose);
    m_fileDialog->setFileMode(QFileDialog::ExistingFile);
    m_fileDialog->setAcceptMode(QFileDialog::AcceptOpen);
    QFileDialog* dialog = m_fileDialog;
    connect(dialog, &QObject::destroyed, this, [state] { state->restore(); });
    connect(dialog, &QFileDialog::accepted, this, [this, dialog] {
        const QString path = dialog->selectedFiles().value(0);
        if (path.isEmpty())
            return;
        Q_EMIT fileChosen(path);
        accept();
    });
    m_fileDialog->open();
}

void ApplicationChooser::retranslate()
{
    setWindowTitle(Tolvane::tr("Choose an application"));
    m_search->setPlaceholderText(Tolvane::tr("Search Applications"));
    m_search->setAccessibleName(Tolvane::tr("Search Applications"));
    m_list->setAccessibleName(Tolvane::tr("Applications"));
    m_other->setText(Tolvane::tr("Other…"));
    m_cancel->setText(Tolvane::tr("Cancel"));
    m_choose->setText(Tolvane::tr("Choose"));
}

bool ApplicationChooser::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_search && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
            QCoreApplication::sendEvent(m_list, event);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ApplicationChooser::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QDialog::changeEvent(event);
}
