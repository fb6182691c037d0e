#pragma once

#include <QList>
#include <QPointer>
#include <QStringList>
#include <QUrl>
#include <QWidget>

class KeyboardKeyView;
class QCheckBox;
class QComboBox;
#include <QFileDialog>
class QGroupBox;
class QLabel;
#include <QMessageBox>
class QPushButton;
class QSlider;
class RuleEngine;

// The feature page: switch feedback (indicator, sound, menu flag), the pause
// hotkey, and the rules backup.
class ProSettingsView : public QWidget {
    Q_OBJECT
public:
    explicit ProSettingsView(RuleEngine& ruleEngine, QWidget* parent = nullptr);

    // "1.5s", "50%".
    static QString durationText(double seconds);
    static QString volumeText(double volume);
    // The key caps of the pause hotkey in the platform's spelling.
    static QStringList hotkeyKeyCaps();

    // Reads every control's value from the preferences again.
    void reload();

    void exportRules();
    void importRules();
    void handleExportLocation(const QString& path);
    void handleImportLocations(const QList<QUrl>& locations);

    QCheckBox* indicatorToggle() const { return m_indicator; }
    QComboBox* positionPicker() const { return m_position; }
    QSlider* durationSlider() const { return m_duration; }
    QLabel* durationLabel() const { return m_durationValue; }
    QCheckBox* soundToggle() const { return m_sound; }
    QSlider* volumeSlider() const { return m_volume; }
    QLabel* volumeLabel() const { return m_volumeValue; }
    QPushButton* testSoundButton() const { return m_testSound; }
    QCheckBox* hotkeyToggle() const { return m_hotkey; }
    QWidget* hotkeyRow() const { return m_hotkeyRow; }
    QLabel* hotkeyDescription() const { return m_hotkeyDescription; }
    // The compositor's binding shown where Tolvane's own hotkey cannot work.
    QLabel* pauseKeyBindingLabel() const { return m_pauseBinding; }
    QList<KeyboardKeyView*> keyCaps() const { return m_keyCaps; }
    QCheckBox* menuFlagToggle() const { return m_menuFlag; }
    QPushButton* exportButton() const { return m_export; }
    QPushButton* importButton() const { return m_import; }
    QFileDialog* exporter() const { return m_exporter; }
    QFileDialog* importer() const { return m_importer; }
    // The page's one alert: the import result, or why an export failed.
    QMessageBox* alert() const { return m_alert; }

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void retranslate();
    void showDependentRows();
    void showPauseKeyBinding();
    void retranslateHotkeyDescription();
    void showAlert(const QString& title, const QString& text);

    RuleEngine& m_ruleEngine;
    QPointer<QFileDialog> m_exporter;
    QPointer<QFileDialog> m_importer;
    QPointer<QMessageBox> m_alert;

    QGroupBox* m_indicatorSection;
    QCheckBox* m_indicator;
    QWidget* m_indicatorDetails;
    QLabel* m_positionLabel;
    QComboBox* m_position;
    QLabel* m_durationTitle;
    QLabel* m_durationValue;
    QSlider* m_duration;
    QLabel* m_indicatorDescription;

    QGroupBox* m_soundSection;
    QCheckBox* m_sound;
    QWidget* m_soundDetails;
    QLabel* m_volumeTitle;
    QLabel* m_volumeValue;
    QSlider* m_volume;
    QPushButton* m_testSound;
    QLabel* m_soundDescription;

    QGroupBox* m_hotkeySection;
    QCheckBox* m_hotkey;
    QWidget* m_hotkeyRow;
    QLabel* m_hotkeyTitle;
    QList<KeyboardKeyView*> m_keyCaps;
    QLabel* m_hotkeyDescription;
    QLabel* m_pauseBinding;
    // The desktop binds the pause key itself; Tolvane's hotkey cannot work.
    bool m_desktopBindsPauseKey = false;

    QGroupBox* m_menuSection;
    QCheckBox* m_menuFlag;
    QLabel* m_menuDescription;

    QGroupBox* m_backupSection;
    QPushButton* m_export;
    QPushButton* m_import;
    QLabel* m_backupDescription;
};
