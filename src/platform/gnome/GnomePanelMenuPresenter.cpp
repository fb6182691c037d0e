#include "GnomePanelMenuPresenter.h"

#include "GnomeShellExtension.h"

GnomePanelMenuPresenter::GnomePanelMenuPresenter(GnomeShellExtension& extension)
    : m_extension(extension)
{
    connect(&m_extension, &GnomeShellExtension::isRunningChanged, this, [this] {
        if (m_extension.isRunning())
            send();
        Q_EMIT isAvailableChanged();
    });
    connect(&m_extension, &GnomeShellExtension::panelMenuActivated, this, &PanelMenuPresenter::activated);
}

bool GnomePanelMenuPresenter::isAvailable() const
{
    return m_extension.isRunning();
}

void GnomePanelMenuPresenter::setMenu(const QString& label, const QList<Row>& rows)
{
    if (label == m_label && rows == m_rows)
        return;
    m_label = label;
    m_rows = rows;
    send();
}

void GnomePanelMenuPresenter::send()
{
    QList<GnomeShellExtension::PanelMenuRow> rows;
    rows.reserve(m_rows.size());
    for (const Row& row : std::as_const(m_rows))
        rows.append({row.key, row.text, row.enabled});
    m_extension.setPanelMenu(m_label, rows);
}
