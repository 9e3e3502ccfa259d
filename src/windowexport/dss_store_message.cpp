#include "windowexport/dss_store_message.hpp"

namespace rill {

std::string DssStoreMessage(std::int32_t status) {
    switch (status) {
    case 4:
        return "All of the input data provided were missing data flags (-901).";
    case 11:
        return "The number of values to store is less than one.";
    case 12:
        return "A non-standard time interval was provided in the ' E' part of the pathname.";
    case 15:
        return "The starting date or time is invalid.";
    case 24:
        return "The pathname given does not meet the regular-interval time series conventions.";
    case 51:
        return "Unrecognized data compression scheme (when ZSCOMP is called prior to ZSRTS). "
               "Valid schemes are 0 to 5.";
    case 53:
        return "Invalid precision exponent specified for the \r\n"
               "delta data compression method (when ZSCOMP is called prior to \r\n"
               "ZSRTS). The precision exponent range is -6 to 6.";
    default:
        return {};
    }
}

} // namespace rill
