#include "platform/GlobalActors.h"

namespace GlobalActors {

SerialExecutor& transformation()
{
    static SerialExecutor executor(QStringLiteral("Transformation"));
    return executor;
}

SerialExecutor& validation()
{
    static SerialExecutor executor(QStringLiteral("Validation"));
    return executor;
}

SerialExecutor& transformationQueue()
{
    static SerialExecutor executor(QStringLiteral("TransformQueue"));
    return executor;
}

SerialExecutor& fileAttributes()
{
    static SerialExecutor executor(QStringLiteral("FileAttributes"));
    return executor;
}

} // namespace GlobalActors
