#pragma once

namespace platform {
class Database;
}

// Whether the company database's Save_Tarvo_Consignment takes a request id (its optional last
// parameter @RequestId), so that a line can be sent again after a lost answer without being
// stored twice. The server is asked once per connection: a connection opened anew (after a link
// failure, say) is asked again, since the program may now reach a server upgraded meanwhile.
class RequestIdSupport
{
public:
    explicit RequestIdSupport(platform::Database *database);

    // Raises EDatabaseError when the question fails; nothing is kept then.
    bool saveTakesRequestId();
    // The next question goes to the server again.
    void forget() { m_generation = -1; }

private:
    platform::Database *m_database;
    int m_generation = -1; // the connection the answer belongs to; -1: none
    bool m_takes = false;
};
