// cardmill-convert: the conversion run without a window.
#include <iostream>
#include <new>

#include "cli/ConvertOptions.h"
#include "cli/ConvertProgram.h"
#include "engine/Failure.h"
#include "engine/Termination.h"
#include "merge/ChildProcess.h"
#include "texts/Texts.h"

int main(int argc, char** argv)
{
    cardmill::termination::install();
    cardmill::termination::setEmergencyCleanup(cardmill::killRunningChildNow);
    // The run reports its own failures; these are the few that come before or after it.
    try {
        return cardmill::runConvertProgram(argc, argv, std::cout, std::cerr);
    } catch (const std::bad_alloc&) {
        std::cerr << "cardmill-convert: Not enough memory to read the settings and options\n";
    } catch (const cardmill::FailureError& e) {
        std::cerr << "cardmill-convert: " << cardmill::failureText(e.failure(), cardmill::Language::English) << '\n';
    } catch (const std::exception& e) {
        std::cerr << "cardmill-convert: " << e.what() << '\n';
    }
    return cardmill::ExitAbandoned;
}
