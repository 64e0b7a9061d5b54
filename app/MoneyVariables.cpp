#include "app/MoneyVariables.h"

qint16 FileNum = 0;
RegisterRecord RegisterBuffer;
