#include "poll/StatusStore.h"

#include "platform/Log.h"
#include "protocol/StatusAnswer.h"
#include "protocol/StatusRecord.h"
#include "store/MyBasicInfo.h"
#include "store/StoreContext.h"
#include "store/db/ManagedObjectContext.h"

namespace StatusStore {

void store(const StatusRecord& record)
{
    ContextBatch batch(StoreContext::shared());
    for (const QString& key : StatusRecord::storeKeys(record.kind())) {
        if (const std::optional<QString> value = record.usableValue(key)) {
            MyBasicInfo::SetValue(key, *value);
            continue;
        }
        Log::write(QStringLiteral("%1 = %2 is no usable number; the stored %3 stays")
                       .arg(key, record.storedValue(key).left(40), MyBasicInfo::GetValue(key)));
    }
}

bool storeIfOk(const StatusAnswer& answer)
{
    if (!answer.isOk())
        return false;
    store(answer.record());
    return true;
}

std::function<void(const StatusAnswer&)> storingFirst(std::function<void(const StatusAnswer&)> then)
{
    return [then = std::move(then)](const StatusAnswer& answer) {
        storeIfOk(answer);
        if (then)
            then(answer);
    };
}

} // namespace StatusStore
