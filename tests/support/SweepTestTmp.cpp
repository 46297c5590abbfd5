// Removes the temporary folders of test processes that no longer run.
#include "support/TempDir.h"

int main()
{
    testsupport::SweepDeadProcesses();
    return 0;
}
