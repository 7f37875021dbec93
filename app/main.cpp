// vokabar2: the entry of the dictionary program.
#include "Application.h"
#include "Startup.h"

int main(int argc, char* argv[])
{
    TApplication app(argc, argv);
    return RunVokabar(app);
}
