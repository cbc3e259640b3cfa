#pragma once

#include "platform/report/ReportDefinition.h"
#include "platform/report/ReportDefinitionLoader.h"
#include "platform/report/ReportDocument.h"
#include "platform/report/ReportExport.h"
#include "platform/report/ReportFunctionHandler.h"
#include "platform/report/ReportLanguage.h"
#include "platform/report/ReportPrepareResult.h"
#include "platform/report/ReportRun.h"

#include <QList>
#include <QObject>
#include <QPageLayout>
#include <QPair>
#include <QString>
#include <memory>

namespace platform {

class ReportDataProvider;

// The report engine a report screen owns: it loads a definition, takes variables, prepares the
// pages and exports them. It needs Qt Gui only, so a process without widgets can prepare and
// export reports; preview, printing and the printer set-up are ReportViewer's. Typical use:
//   engine.clear(); engine.loadFromFile(path);
//   engine.setVariable("RPTITLE", "'Sales'"); engine.setVariable("GetYear", "2024");
//   if (engine.prepare()) engine.exportTo(ReportExport::Format::Pdf, "sales.pdf");
// A definition that cannot be read, or an expression that does not compile or fails while
// the report runs, makes prepare() fail with a message in the engine's language naming the
// file; exceptions raised by the data provider or the function handler leave prepare()
// unchanged.
class ReportEngine : public QObject
{
    Q_OBJECT

public:
    explicit ReportEngine(QObject *parent = nullptr);
    ~ReportEngine() override;

    // The language of the messages (Thai unless the host says otherwise).
    void setLanguage(ReportLanguage language) { m_language = language; }
    ReportLanguage language() const { return m_language; }

    // Loads a definition file; false (and the reason in loadError()) when it cannot be read.
    // A failed load also makes the next prepare() fail with that reason.
    bool loadFromFile(const QString &path);
    QString loadError() const;
    // Forgets the definition, the variables and the prepared report; keeps the language and
    // the paper chosen with setPageLayout().
    void clear();
    bool isLoaded() const { return m_load.ok(); }
    const ReportDefinition &definition() const { return m_load.definition; }

    // A variable's value is an expression: "'text'", "true", "2024", "GetYear + 1".
    // Names are matched without regard to case; setting a name again replaces its value.
    void setVariable(const QString &name, const QString &expression);
    QString variable(const QString &name) const;

    void setDataProvider(ReportDataProvider *provider);
    void setFunctionHandler(ReportFunctionHandler handler);

    // The paper the user chose (size, orientation, margins in millimetres): every report is
    // laid out on it instead of its definition's page. An invalid layout goes back to the
    // definition's page.
    void setPageLayout(const QPageLayout &layout) { m_chosenPage = layout; }
    // The chosen paper, or the loaded definition's page when none was chosen.
    QPageLayout pageLayout() const;

    ReportPrepareResult prepare();
    bool isPrepared() const { return m_prepared; }
    const ReportDocument &document() const { return m_document; }
    // The prepared run, to lay the same report out again on other paper; null when nothing
    // is prepared.
    std::shared_ptr<const ReportRun> preparedRun() const { return m_run; }

    // Raises EInOutError, in the engine's language, when the file cannot be written.
    void exportTo(ReportExport::Format format, const QString &path) const;

private:
    ReportLanguage m_language = ReportLanguage::Thai;
    QString m_path;
    ReportDefinitionLoader::Result m_load;
    QPageLayout m_chosenPage;
    ReportRun::Variables m_variables;
    ReportDataProvider *m_provider = nullptr;
    ReportFunctionHandler m_handler;
    ReportDocument m_document;
    std::shared_ptr<ReportRun> m_run;
    bool m_prepared = false;
};

} // namespace platform
