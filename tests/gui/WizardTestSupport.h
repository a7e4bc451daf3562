// The wizard as the user meets it: a document in a folder of the test's own,
// a temporary folder, a HotSync folder, a settings store, and the wizard
// started on the document as the main dialog starts it. Controls are reached
// by page and id; stored values and written databases are read back.
#pragma once

#include "GuiTestSupport.h"

#include "Databases.h"
#include "wizard/CWizardDlg.h"
#include "wizard/Templates.h"

#include <core/SettingsStore.h>
#include <core/SettingsValues.h>
#include <palm/EbookReader.h>

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <filesystem>
#include <optional>

namespace fs = std::filesystem;

inline constexpr int kPage1 = 107;
inline constexpr int kPage2 = 108;
inline constexpr int kPage3 = 109;
inline constexpr int kPage4 = 110;

class WizardTest : public GuiTest, protected DocumentSandbox {
protected:
    void AddUser(const std::string& name) const { fs::create_directories(HotSync() / name / "Install"); }

    // A wizard run on `path`, as the main dialog starts one; the sheet is
    // made once and reused, as a starter reuses it for a list.
    void Start(const std::string& path)
    {
        if (!m_wizard)
            m_wizard = std::make_unique<CWizardDlg>(nullptr, m_list);
        m_wizard->SetDocument(path);
        m_wizard->ResetPageFlags();
        m_wizard->show();
    }

    QWidget* Page(int templateId) const { return Find<QWidget>(m_wizard.get(), templateId); }
    template <class Control>
    Control* On(int page, int id) const
    {
        return Find<Control>(Page(page), id);
    }
    QPushButton* SheetButton(int id) const { return Find<QPushButton>(m_wizard.get(), id); }
    void Next() const { SheetButton(WizardTemplate::kNextButton)->click(); }
    void Back() const { SheetButton(WizardTemplate::kBackButton)->click(); }
    void Finish() const { SheetButton(WizardTemplate::kFinishButton)->click(); }
    void Cancel() const { SheetButton(WizardTemplate::kCancelButton)->click(); }
    // Moves on with Next until the page of `templateId` is up.
    void NextTo(int templateId) const
    {
        while (!Page(templateId)->isVisible() && SheetButton(WizardTemplate::kNextButton)->isVisible())
            Next();
        ASSERT_TRUE(Page(templateId)->isVisible());
    }
    void Click(int page, int id) const { On<QAbstractButton>(page, id)->click(); }
    bool Checked(int page, int id) const { return On<QAbstractButton>(page, id)->isChecked(); }
    QString Text(int page, int id) const
    {
        if (auto* edit = Page(page)->findChild<QLineEdit*>(QString::number(id)))
            return edit->text();
        return On<QLabel>(page, id)->text();
    }
    void SetText(int page, int id, const QString& text) const
    {
        auto* edit = On<QLineEdit>(page, id);
        edit->selectAll();
        Type(edit, text);
    }
    QString SizeShown() const { return Text(kPage4, 1043); }

    static void StoreDword(const char* name, std::uint32_t value)
    {
        SettingsKey key;
        unsigned long disposition = 0;
        ASSERT_EQ(OpenSettingsKey(key, disposition, kSettingsKeyPath), SETTINGS_OK);
        ASSERT_EQ(SetDwordValue(key, name, value), SETTINGS_OK);
    }
    static void StoreString(const char* name, const CString& value)
    {
        SettingsKey key;
        unsigned long disposition = 0;
        ASSERT_EQ(OpenSettingsKey(key, disposition, kSettingsKeyPath), SETTINGS_OK);
        ASSERT_EQ(SetStringValue(key, name, value.c_str()), SETTINGS_OK);
    }
    static std::optional<std::uint32_t> StoredDword(const char* name)
    {
        SettingsKey key;
        unsigned long disposition = 0;
        std::uint32_t value = 0;
        if (OpenSettingsKey(key, disposition, kSettingsKeyPath) != SETTINGS_OK || !folivo::ReadDword(key, name, value))
            return std::nullopt;
        return value;
    }
    static std::optional<CString> StoredString(const char* name)
    {
        SettingsKey key;
        unsigned long disposition = 0;
        CString value;
        if (OpenSettingsKey(key, disposition, kSettingsKeyPath) != SETTINGS_OK ||
            !folivo::ReadString(key, name, value, 1 << 20))
            return std::nullopt;
        return value;
    }

    BookmarkList m_list;
    std::unique_ptr<CWizardDlg> m_wizard;
};
