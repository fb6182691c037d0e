#pragma once

#include "platform/PanelMenuPresenter.h"

class GnomeShellExtension;

// GNOME has no tray: Tolvane's Shell extension puts a button into the top bar
// with the rows of the tray menu. The Shell forgets the button when the
// extension is turned off or the Shell restarts, so the rows are sent again
// whenever the extension appears.
class GnomePanelMenuPresenter : public PanelMenuPresenter {
    Q_OBJECT
public:
    explicit GnomePanelMenuPresenter(GnomeShellExtension& extension);

    bool isAvailable() const override;
    void setMenu(const QString& label, const QList<Row>& rows) override;

private:
    void send();

    GnomeShellExtension& m_extension;
    QString m_label;
    QList<Row> m_rows;
};
