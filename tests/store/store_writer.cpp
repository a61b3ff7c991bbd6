// Writes numbered batches of 24 settings for ever, printing each batch number
// once it is committed; the store test kills it at a random moment.
#include "app/AppDelegate.h"
#include "platform/Log.h"
#include "store/MyBasicInfo.h"
#include "store/MyUtil.h"
#include "store/db/ManagedObjectContext.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    Log::Quiet quiet;
    AppDelegate delegate(QString::fromLocal8Bit(argv[1]));
    MyUtil::InitMyDateBase();
    const QStringList keys = MyUtil::SettingsKeys().mid(7, 24);
    for (int batch = 1; batch <= 1000; ++batch) {
        {
            ContextBatch scope(delegate.managedObjectContext());
            for (const QString& key : keys)
                MyBasicInfo::SetValue(key, QString::number(batch));
        }
        std::printf("%d\n", batch);
        std::fflush(stdout);
    }
    return 0;
}
