#include "platform/core/Exceptions.h"

namespace platform {

Exception::Exception(const QString &message)
    : m_message(message)
    , m_utf8(message.toUtf8())
{}

QString currentExceptionMessage()
{
    try {
        throw;
    } catch (const Exception &e) {
        return e.message();
    } catch (const std::exception &e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("Unknown exception");
    }
}

} // namespace platform
