#include "platform/report/ReportDefinitionLoader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QXmlStreamReader>

namespace platform {

namespace {

using Band = ReportBandDefinition;
using Object = ReportObjectDefinition;

// Thrown inside the loader only; turned into Result's line and cause.
struct LoadError {
    int line = 0;
    QString cause;
};

class Parser
{
public:
    Parser(QXmlStreamReader &xml, QString baseDirectory)
        : m_xml(xml)
        , m_baseDirectory(std::move(baseDirectory))
    {}

    ReportDefinition parse()
    {
        ReportDefinition definition;
        if (!m_xml.readNextStartElement())
            failReader();
        if (m_xml.name() != QLatin1String("report"))
            fail(QStringLiteral("the root element must be <report>, not <%1>").arg(m_xml.name()));
        Attributes a = attributes({"name", "font", "fontSize"});
        definition.name = a.text("name");
        definition.fontFamily = a.text("font", definition.fontFamily);
        definition.fontSize = a.positive("fontSize", definition.fontSize);

        while (m_xml.readNextStartElement()) {
            const QString element = m_xml.name().toString();
            if (element == QLatin1String("page"))
                readPage(definition);
            else if (element == QLatin1String("variable"))
                definition.variables.append(readVariable());
            else if (element == QLatin1String("dataset"))
                definition.datasets.append(readDataset());
            else if (bandKinds().contains(element))
                definition.bands.append(readBand(bandKinds().value(element)));
            else
                fail(QStringLiteral("unknown element <%1>").arg(element));
        }
        if (m_xml.hasError())
            failReader();
        // Anything after the root element must still be well-formed.
        while (!m_xml.atEnd()) {
            m_xml.readNext();
            if (m_xml.hasError())
                failReader();
        }
        check(definition);
        return definition;
    }

private:
    class Attributes
    {
    public:
        Attributes(Parser &parser, QXmlStreamAttributes attributes)
            : m_parser(parser)
            , m_attributes(std::move(attributes))
        {}
        bool has(const char *name) const { return m_attributes.hasAttribute(QLatin1String(name)); }
        QString text(const char *name, const QString &fallback = QString()) const
        {
            return has(name) ? m_attributes.value(QLatin1String(name)).toString() : fallback;
        }
        qreal number(const char *name, qreal fallback = 0) const
        {
            if (!has(name))
                return fallback;
            bool ok = false;
            const QString value = text(name).trimmed();
            const qreal result = value.toDouble(&ok);
            if (!ok)
                m_parser.fail(QStringLiteral("attribute %1=\"%2\" is not a number").arg(QLatin1String(name), value));
            return result;
        }
        qreal positive(const char *name, qreal fallback) const
        {
            const qreal value = number(name, fallback);
            if (value < 0)
                m_parser.fail(QStringLiteral("attribute %1 must not be negative").arg(QLatin1String(name)));
            return value;
        }
        bool flag(const char *name, bool fallback = false) const
        {
            if (!has(name))
                return fallback;
            const QString value = text(name).trimmed().toLower();
            if (value == QLatin1String("true") || value == QLatin1String("yes") || value == QLatin1String("1"))
                return true;
            if (value == QLatin1String("false") || value == QLatin1String("no") || value == QLatin1String("0"))
                return false;
            m_parser.fail(QStringLiteral("attribute %1=\"%2\" is not true or false").arg(QLatin1String(name), value));
            return fallback;
        }
        QColor color(const char *name, const QColor &fallback) const
        {
            if (!has(name))
                return fallback;
            const QColor result = QColor::fromString(text(name).trimmed());
            if (!result.isValid())
                m_parser.fail(QStringLiteral("attribute %1=\"%2\" is not a colour").arg(QLatin1String(name), text(name)));
            return result;
        }

    private:
        Parser &m_parser;
        QXmlStreamAttributes m_attributes;
    };

    [[noreturn]] void fail(const QString &cause) const { throw LoadError{int(m_xml.lineNumber()), cause}; }
    [[noreturn]] void failReader() const
    {
        fail(m_xml.errorString().isEmpty() ? QStringLiteral("the file is empty") : m_xml.errorString());
    }

    Attributes attributes(std::initializer_list<const char *> allowed)
    {
        const QXmlStreamAttributes all = m_xml.attributes();
        for (const QXmlStreamAttribute &attribute : all) {
            bool known = false;
            for (const char *name : allowed)
                known = known || attribute.name() == QLatin1String(name);
            if (!known) {
                fail(QStringLiteral("unknown attribute %1 on <%2>").arg(attribute.name().toString(), m_xml.name().toString()));
            }
        }
        return Attributes(*this, all);
    }

    static const QHash<QString, Band::Kind> &bandKinds()
    {
        static const QHash<QString, Band::Kind> kinds{
            {QStringLiteral("reportTitle"), Band::Kind::ReportTitle},   {QStringLiteral("pageHeader"), Band::Kind::PageHeader},
            {QStringLiteral("columnHeader"), Band::Kind::ColumnHeader}, {QStringLiteral("masterData"), Band::Kind::MasterData},
            {QStringLiteral("groupHeader"), Band::Kind::GroupHeader},   {QStringLiteral("groupFooter"), Band::Kind::GroupFooter},
            {QStringLiteral("summary"), Band::Kind::Summary},           {QStringLiteral("pageFooter"), Band::Kind::PageFooter},
        };
        return kinds;
    }

    // Text content of an element that holds no child elements.
    QString textContent()
    {
        const QString text = m_xml.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
        if (m_xml.hasError())
            failReader();
        return text;
    }

    void readPage(ReportDefinition &definition)
    {
        Attributes a = attributes({"size", "width", "height", "orientation", "left", "top", "right", "bottom"});
        static const QHash<QString, QSizeF> sizes{
            {QStringLiteral("a3"), {297, 420}},        {QStringLiteral("a4"), {210, 297}},
            {QStringLiteral("a5"), {148, 210}},        {QStringLiteral("letter"), {215.9, 279.4}},
            {QStringLiteral("legal"), {215.9, 355.6}},
        };
        if (a.has("size")) {
            const QString size = a.text("size").trimmed().toLower();
            if (!sizes.contains(size))
                fail(QStringLiteral("unknown page size \"%1\"").arg(a.text("size")));
            definition.pageSize = sizes.value(size);
        }
        definition.pageSize.setWidth(a.positive("width", definition.pageSize.width()));
        definition.pageSize.setHeight(a.positive("height", definition.pageSize.height()));
        const QString orientation = a.text("orientation", QStringLiteral("portrait")).trimmed().toLower();
        if (orientation != QLatin1String("portrait") && orientation != QLatin1String("landscape"))
            fail(QStringLiteral("orientation must be portrait or landscape, not \"%1\"").arg(orientation));
        definition.landscape = orientation == QLatin1String("landscape");
        definition.marginLeft = a.positive("left", definition.marginLeft);
        definition.marginTop = a.positive("top", definition.marginTop);
        definition.marginRight = a.positive("right", definition.marginRight);
        definition.marginBottom = a.positive("bottom", definition.marginBottom);
        const QSizeF page = definition.orientedPageSize();
        if (definition.marginLeft + definition.marginRight >= page.width() ||
            definition.marginTop + definition.marginBottom >= page.height())
            fail(QStringLiteral("the margins leave no room on the page"));
        textContent();
    }

    ReportDefinition::Variable readVariable()
    {
        ReportDefinition::Variable variable;
        variable.line = int(m_xml.lineNumber());
        Attributes a = attributes({"name"});
        variable.name = a.text("name").trimmed();
        if (variable.name.isEmpty())
            fail(QStringLiteral("a variable needs a name"));
        variable.expression = textContent().trimmed();
        return variable;
    }

    ReportDatasetDefinition readDataset()
    {
        ReportDatasetDefinition dataset;
        dataset.line = int(m_xml.lineNumber());
        Attributes a = attributes({"name"});
        dataset.name = a.text("name").trimmed();
        if (dataset.name.isEmpty())
            fail(QStringLiteral("a dataset needs a name"));
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() == QLatin1String("sql")) {
                attributes({});
                dataset.sql = textContent().trimmed();
            } else if (m_xml.name() == QLatin1String("sqlite")) {
                attributes({});
                dataset.alternativeSql = textContent().trimmed();
            } else {
                fail(QStringLiteral("unknown element <%1> in a dataset").arg(m_xml.name().toString()));
            }
        }
        if (m_xml.hasError())
            failReader();
        if (dataset.sql.isEmpty())
            fail(QStringLiteral("dataset %1 has no <sql>").arg(dataset.name));
        return dataset;
    }

    Band readBand(Band::Kind kind)
    {
        Band band;
        band.kind = kind;
        band.line = int(m_xml.lineNumber());
        Attributes a = attributes({"height", "name", "group", "expression", "dataset", "startNewPage", "repeatOnNewPage",
                                   "keepWithNext", "keepTogether"});
        band.height = a.positive("height", 0);
        band.name = a.text("name").trimmed();
        band.group = a.text("group").trimmed();
        band.expression = a.text("expression").trimmed();
        band.dataset = a.text("dataset").trimmed();
        band.startNewPage = a.flag("startNewPage");
        band.repeatOnNewPage = a.flag("repeatOnNewPage");
        // A group header is never left alone at the foot of a page unless the definition says so.
        band.keepWithNext = a.flag("keepWithNext", kind == Band::Kind::GroupHeader);
        band.keepTogether = a.flag("keepTogether");
        if (kind == Band::Kind::GroupHeader && band.expression.isEmpty())
            fail(QStringLiteral("a group header needs an expression"));
        if (kind == Band::Kind::GroupHeader && band.name.isEmpty())
            band.name = QStringLiteral("Group%1").arg(++m_unnamedGroups);
        if (kind == Band::Kind::GroupFooter && band.group.isEmpty())
            fail(QStringLiteral("a group footer needs the name of its group"));
        if (kind == Band::Kind::MasterData && band.dataset.isEmpty())
            fail(QStringLiteral("a master data band needs a dataset"));
        if (kind != Band::Kind::GroupHeader && !band.expression.isEmpty())
            fail(QStringLiteral("only a group header takes an expression"));
        if (kind != Band::Kind::GroupHeader && kind != Band::Kind::ReportTitle && a.flag("repeatOnNewPage"))
            fail(QStringLiteral("only a group header or the report title takes repeatOnNewPage"));
        if (kind != Band::Kind::GroupHeader && a.has("keepWithNext"))
            fail(QStringLiteral("only a group header takes keepWithNext"));
        if (kind != Band::Kind::GroupHeader && kind != Band::Kind::GroupFooter && a.has("keepTogether"))
            fail(QStringLiteral("only a group header or a group footer takes keepTogether"));
        if (kind != Band::Kind::MasterData && !band.dataset.isEmpty())
            fail(QStringLiteral("only a master data band takes a dataset"));
        while (m_xml.readNextStartElement())
            band.objects.append(readObject());
        if (m_xml.hasError())
            failReader();
        return band;
    }

    Object readObject()
    {
        static const QHash<QString, Object::Kind> kinds{
            {QStringLiteral("text"), Object::Kind::Text},         {QStringLiteral("line"), Object::Kind::Line},
            {QStringLiteral("rect"), Object::Kind::Rectangle},    {QStringLiteral("roundRect"), Object::Kind::RoundedRectangle},
            {QStringLiteral("checkBox"), Object::Kind::CheckBox}, {QStringLiteral("picture"), Object::Kind::Picture},
        };
        const QString element = m_xml.name().toString();
        if (!kinds.contains(element))
            fail(QStringLiteral("unknown object <%1>").arg(element));
        Object object;
        object.kind = kinds.value(element);
        object.line = int(m_xml.lineNumber());
        switch (object.kind) {
        case Object::Kind::Text:
            readText(object);
            break;
        case Object::Kind::Line:
            readLine(object);
            break;
        case Object::Kind::Rectangle:
        case Object::Kind::RoundedRectangle:
            readFrame(object);
            break;
        case Object::Kind::CheckBox:
            readCheckBox(object);
            break;
        case Object::Kind::Picture:
            readPicture(object);
            break;
        }
        if (object.name.isEmpty()) {
            static const QHash<Object::Kind, QString> prefixes{
                {Object::Kind::Text, QStringLiteral("Text")},
                {Object::Kind::Line, QStringLiteral("Line")},
                {Object::Kind::Rectangle, QStringLiteral("Rect")},
                {Object::Kind::RoundedRectangle, QStringLiteral("RoundRect")},
                {Object::Kind::CheckBox, QStringLiteral("CheckBox")},
                {Object::Kind::Picture, QStringLiteral("Picture")},
            };
            object.name = prefixes.value(object.kind) + QString::number(++m_unnamed);
        }
        if (m_objectNames.contains(object.name.toLower()))
            throw LoadError{object.line, QStringLiteral("object name %1 is used twice").arg(object.name)};
        m_objectNames.insert(object.name.toLower());
        return object;
    }

    QRectF rect(const Attributes &a)
    {
        return QRectF(a.number("left"), a.number("top"), a.positive("width", 0), a.positive("height", 0));
    }

    void readFrameStyle(const Attributes &a, Object &object, int defaultSides)
    {
        object.frameSides = defaultSides;
        if (a.has("frame")) {
            object.frameSides = Object::NoSide;
            const QStringList sides = a.text("frame").toLower().split(QLatin1Char(','), Qt::SkipEmptyParts);
            for (const QString &raw : sides) {
                const QString side = raw.trimmed();
                if (side == QLatin1String("all"))
                    object.frameSides |= Object::AllSides;
                else if (side == QLatin1String("left"))
                    object.frameSides |= Object::LeftSide;
                else if (side == QLatin1String("top"))
                    object.frameSides |= Object::TopSide;
                else if (side == QLatin1String("right"))
                    object.frameSides |= Object::RightSide;
                else if (side == QLatin1String("bottom"))
                    object.frameSides |= Object::BottomSide;
                else if (side != QLatin1String("none"))
                    fail(QStringLiteral("unknown frame side \"%1\"").arg(side));
            }
        }
        object.frameWidth = a.positive("frameWidth", object.frameWidth);
        object.frameColor = a.color("frameColor", object.frameColor);
        object.fillColor = a.color("fill", QColor());
    }

    void readText(Object &object)
    {
        Attributes a =
            attributes({"name",       "left",      "top",   "width",      "height",     "font",    "fontSize", "bold",
                        "italic",     "underline", "align", "valign",     "wordWrap",   "canGrow", "stretch",  "format",
                        "dateFormat", "padding",   "frame", "frameWidth", "frameColor", "fill",    "color"});
        object.name = a.text("name").trimmed();
        object.rect = rect(a);
        object.fontFamily = a.text("font").trimmed();
        object.fontSize = a.positive("fontSize", 0);
        object.bold = a.flag("bold");
        object.italic = a.flag("italic");
        object.underline = a.flag("underline");
        object.wordWrap = a.flag("wordWrap", true);
        object.canGrow = a.flag("canGrow");
        object.stretchToBand = a.flag("stretch");
        object.numberFormat = a.text("format");
        object.dateFormat = a.text("dateFormat");
        object.padding = a.positive("padding", object.padding);
        object.textColor = a.color("color", object.textColor);
        readFrameStyle(a, object, Object::NoSide);

        Qt::Alignment horizontal = Qt::AlignLeft;
        const QString align = a.text("align", QStringLiteral("left")).trimmed().toLower();
        if (align == QLatin1String("center"))
            horizontal = Qt::AlignHCenter;
        else if (align == QLatin1String("right"))
            horizontal = Qt::AlignRight;
        else if (align != QLatin1String("left"))
            fail(QStringLiteral("unknown alignment \"%1\"").arg(align));
        Qt::Alignment vertical = Qt::AlignTop;
        const QString valign = a.text("valign", QStringLiteral("top")).trimmed().toLower();
        if (valign == QLatin1String("middle") || valign == QLatin1String("center"))
            vertical = Qt::AlignVCenter;
        else if (valign == QLatin1String("bottom"))
            vertical = Qt::AlignBottom;
        else if (valign != QLatin1String("top"))
            fail(QStringLiteral("unknown vertical alignment \"%1\"").arg(valign));
        object.alignment = horizontal | vertical;
        object.text = textContent();
    }

    void readLine(Object &object)
    {
        Attributes a = attributes({"name", "x1", "y1", "x2", "y2", "width", "color", "stretch"});
        object.name = a.text("name").trimmed();
        object.segment = QLineF(a.number("x1"), a.number("y1"), a.number("x2"), a.number("y2"));
        object.frameWidth = a.positive("width", object.frameWidth);
        object.frameColor = a.color("color", object.frameColor);
        object.stretchToBand = a.flag("stretch");
        object.rect = QRectF(object.segment.p1(), object.segment.p2()).normalized();
        textContent();
    }

    void readFrame(Object &object)
    {
        Attributes a =
            attributes({"name", "left", "top", "width", "height", "frameWidth", "frameColor", "fill", "radius", "stretch"});
        object.name = a.text("name").trimmed();
        object.rect = rect(a);
        object.cornerRadius = a.positive("radius", object.cornerRadius);
        object.stretchToBand = a.flag("stretch");
        readFrameStyle(a, object, Object::AllSides);
        textContent();
    }

    void readCheckBox(Object &object)
    {
        Attributes a = attributes({"name", "left", "top", "width", "height", "expression", "frameWidth", "frameColor", "color"});
        object.name = a.text("name").trimmed();
        object.rect = rect(a);
        object.expression = a.text("expression").trimmed();
        if (object.expression.isEmpty())
            fail(QStringLiteral("a check box needs an expression"));
        object.frameSides = Object::AllSides;
        object.frameWidth = a.positive("frameWidth", object.frameWidth);
        object.frameColor = a.color("frameColor", object.frameColor);
        object.textColor = a.color("color", object.textColor);
        textContent();
    }

    void readPicture(Object &object)
    {
        Attributes a = attributes(
            {"name", "left", "top", "width", "height", "file", "scaling", "frame", "frameWidth", "frameColor", "fill"});
        object.name = a.text("name").trimmed();
        object.rect = rect(a);
        readFrameStyle(a, object, Object::NoSide);
        const QString scaling = a.text("scaling", QStringLiteral("keepAspect")).trimmed();
        if (scaling == QLatin1String("stretch"))
            object.scaling = Object::PictureScaling::Stretch;
        else if (scaling == QLatin1String("center"))
            object.scaling = Object::PictureScaling::Center;
        else if (scaling != QLatin1String("keepAspect"))
            fail(QStringLiteral("unknown scaling \"%1\"").arg(scaling));
        object.pictureFile = a.text("file").trimmed();
        if (object.pictureFile.isEmpty())
            fail(QStringLiteral("a picture needs a file"));
        const QString path = QDir(m_baseDirectory).filePath(object.pictureFile);
        if (!object.picture.load(path))
            fail(QStringLiteral("picture file \"%1\" cannot be read").arg(path));
        textContent();
    }

    static void check(const ReportDefinition &definition)
    {
        auto failAt = [](int line, const QString &cause) { throw LoadError{line, cause}; };
        QSet<QString> datasets;
        for (const ReportDatasetDefinition &dataset : definition.datasets) {
            if (datasets.contains(dataset.name.toLower()))
                failAt(dataset.line, QStringLiteral("dataset %1 is defined twice").arg(dataset.name));
            datasets.insert(dataset.name.toLower());
        }
        QSet<QString> variables;
        for (const ReportDefinition::Variable &variable : definition.variables) {
            if (variables.contains(variable.name.toLower()))
                failAt(variable.line, QStringLiteral("variable %1 is defined twice").arg(variable.name));
            variables.insert(variable.name.toLower());
        }
        QSet<Band::Kind> single;
        QSet<QString> groups;
        const Band *master = nullptr;
        for (const Band &band : definition.bands) {
            switch (band.kind) {
            case Band::Kind::GroupHeader: {
                const QString name = band.name.toLower();
                if (groups.contains(name))
                    failAt(band.line, QStringLiteral("group %1 is defined twice").arg(band.name));
                groups.insert(name);
                break;
            }
            case Band::Kind::GroupFooter:
                break;
            case Band::Kind::MasterData:
                master = &band;
                if (!datasets.contains(band.dataset.toLower()))
                    failAt(band.line, QStringLiteral("unknown dataset %1").arg(band.dataset));
                [[fallthrough]];
            default:
                if (single.contains(band.kind))
                    failAt(band.line, QStringLiteral("this band may appear only once"));
                single.insert(band.kind);
            }
        }
        for (const Band &band : definition.bands) {
            if (band.kind == Band::Kind::GroupFooter && !groups.contains(band.group.toLower()))
                failAt(band.line, QStringLiteral("group footer for unknown group %1").arg(band.group));
            if ((band.kind == Band::Kind::GroupFooter || band.kind == Band::Kind::GroupHeader) && !master)
                failAt(band.line, QStringLiteral("groups need a master data band"));
        }
    }

    QXmlStreamReader &m_xml;
    QString m_baseDirectory;
    int m_unnamed = 0;
    int m_unnamedGroups = 0;
    QSet<QString> m_objectNames;
};

} // namespace

ReportDefinitionLoader::Result ReportDefinitionLoader::loadFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Result result;
        result.fault = Fault::CannotOpen;
        result.cause = file.errorString();
        return result;
    }
    Result result = loadData(file.readAll(), QFileInfo(path).absolutePath());
    result.definition.fileName = path;
    return result;
}

ReportDefinitionLoader::Result ReportDefinitionLoader::loadData(const QByteArray &xml, const QString &baseDirectory)
{
    Result result;
    QXmlStreamReader reader(xml);
    Parser parser(reader, baseDirectory);
    try {
        result.definition = parser.parse();
        result.fault = Fault::None;
    } catch (const LoadError &error) {
        result.fault = Fault::Invalid;
        result.line = error.line;
        result.cause = error.cause;
    }
    return result;
}

QString ReportDefinitionLoader::Result::error() const
{
    switch (fault) {
    case Fault::None:
        return QString();
    case Fault::CannotOpen:
        return cause;
    case Fault::Invalid:
        break;
    }
    return QStringLiteral("Line %1: %2").arg(line).arg(cause);
}

} // namespace platform
