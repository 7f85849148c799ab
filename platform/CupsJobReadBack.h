#pragma once
// What became of a job: read back from the server after its document, and after any doubt.
#include "platform/CupsConnection.h"

namespace platform::cupsdetail {

// The job read back after its document: true when the server holds it past its incoming state,
// neither cancelled nor aborted (or it completed already); else answer says why not.
bool Held(Connection& http, const QByteArray& uri, const QByteArray& resource, int job, CupsAnswer& answer);

// After a doubt only this goes to the server, on a fresh connection, itself bounded, that a stop
// does not cut short: the job's cancel, and where the server refuses it, a read of what it
// holds. A completed job printed; one that could not be asked about printed perhaps, once it
// had the whole document, else it may stay in the queue empty.
void Settle(const PrintWatch& given, const QByteArray& uri, const QByteArray& resource, int job, bool whole,
            CupsAnswer& answer);

} // namespace platform::cupsdetail
