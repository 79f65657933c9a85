#include "platform/mci/MciErrors.h"

namespace kb::mci {

std::string_view errorText(uint32_t code)
{
    switch (code) {
    case MCIERR_NO_ERROR:
        return "The specified command was carried out.";
    case MCIERR_INVALID_DEVICE_ID:
        return "Invalid MCI device ID. Use the ID returned when opening the MCI device.";
    case MCIERR_UNRECOGNIZED_KEYWORD:
        return "The driver cannot recognize the specified command parameter.";
    case MCIERR_UNRECOGNIZED_COMMAND:
        return "The driver cannot recognize the specified command.";
    case MCIERR_HARDWARE:
        return "There is a problem with your media device. Make sure it is working correctly or "
               "contact the device manufacturer.";
    case MCIERR_INVALID_DEVICE_NAME:
        return "The specified device is not open or is not recognized by MCI.";
    case MCIERR_OUT_OF_MEMORY:
        return "Not enough memory available for this task. Quit one or more applications to "
               "increase available memory, and then try again.";
    case MCIERR_DEVICE_OPEN:
        return "The device name is already being used as an alias by this application. Use a "
               "unique alias.";
    case MCIERR_CANNOT_LOAD_DRIVER:
        return "There is an undetectable problem in loading the specified device driver.";
    case MCIERR_MISSING_COMMAND_STRING:
        return "No command was specified.";
    case MCIERR_PARAM_OVERFLOW:
        return "The output string was too large to fit in the return buffer. Increase the size "
               "of the buffer.";
    case MCIERR_MISSING_STRING_ARGUMENT:
        return "The specified command requires a character-string parameter. Please provide one.";
    case MCIERR_BAD_INTEGER:
        return "The specified integer is invalid for this command.";
    case MCIERR_DRIVER_INTERNAL:
        return "There is a problem with the device driver. Check with the device manufacturer "
               "about obtaining a new driver.";
    case MCIERR_MISSING_PARAMETER:
        return "The specified command requires a parameter. Please supply one.";
    case MCIERR_UNSUPPORTED_FUNCTION:
        return "The MCI device you are using does not support the specified command.";
    case MCIERR_FILE_NOT_FOUND:
        return "Cannot find the specified file. Make sure the path and filename are correct.";
    case MCIERR_DEVICE_NOT_READY:
        return "The device driver is not ready.";
    case MCIERR_INTERNAL:
        return "A problem occurred in initializing MCI. Try restarting Windows.";
    case MCIERR_CANNOT_USE_ALL:
        return "Cannot use 'all' as the device name with the specified command.";
    case MCIERR_MULTIPLE:
        return "Errors occurred in more than one device. Specify each command and device "
               "separately to determine which devices caused the error.";
    case MCIERR_EXTENSION_NOT_FOUND:
        return "Cannot determine the device type from the given filename extension.";
    case MCIERR_OUTOFRANGE:
        return "The specified parameter is out of range for the specified command.";
    case MCIERR_FLAGS_NOT_COMPATIBLE:
        return "The specified parameters cannot be used together.";
    case MCIERR_DEVICE_TYPE_REQUIRED:
        return "Cannot find the specified device. Make sure it is installed and that the device "
               "name is spelled correctly.";
    case MCIERR_DUPLICATE_ALIAS:
        return "The specified alias is already being used in this application. Use a unique "
               "alias.";
    case MCIERR_BAD_CONSTANT:
        return "The specified parameter is invalid for this command.";
    case MCIERR_MUST_USE_SHAREABLE:
        return "The device driver is already in use. To share it, use the 'shareable' parameter "
               "with each 'open' command.";
    case MCIERR_MISSING_DEVICE_NAME:
        return "The specified command requires an alias, file, driver, or device name. Please "
               "supply one.";
    case MCIERR_BAD_TIME_FORMAT:
        return "The specified value for the time format is invalid. Refer to the MCI "
               "documentation for valid formats.";
    case MCIERR_NO_CLOSING_QUOTE:
        return "A closing double-quotation mark is missing from the parameter value. Please "
               "supply one.";
    case MCIERR_DUPLICATE_FLAGS:
        return "A parameter or value was specified twice. Only specify it once.";
    case MCIERR_INVALID_FILE:
        return "The specified file cannot be played on the specified MCI device. The file may "
               "be corrupt, or not in the correct format.";
    case MCIERR_NEW_REQUIRES_ALIAS:
        return "You must specify an alias when using the 'new' parameter.";
    case MCIERR_NOTIFY_ON_AUTO_OPEN:
        return "Cannot use the 'notify' flag with auto-opened devices.";
    case MCIERR_NO_ELEMENT_ALLOWED:
        return "Cannot use a filename with the specified device.";
    case MCIERR_NONAPPLICABLE_FUNCTION:
        return "Cannot carry out the commands in the order specified. Correct the command "
               "sequence, and then try again.";
    case MCIERR_EXTRA_CHARACTERS:
        return "Cannot specify extra characters after a string enclosed in quotation marks.";
    case MCIERR_DEVICE_NOT_INSTALLED:
        return "The specified device is not installed on the system. Use the Drivers option in "
               "Control Panel to install the device.";
    case MCIERR_NO_INTEGER:
        return "The specified command requires an integer parameter. Please provide one.";
    case MCIERR_WAVE_OUTPUTSUNSUITABLE:
        return "No wave device that can play files in the current format is installed. Use the "
               "Drivers option to install the wave device.";
    case MCIERR_SEQ_NOMIDIPRESENT:
        return "The system has no installed MIDI devices. Use the Drivers option from the "
               "Control Panel to install a MIDI driver.";
    case MCIERR_NO_WINDOW:
        return "There is no display window.";
    case MCIERR_CREATEWINDOW:
        return "Could not create or use window.";
    case MCIERR_FILE_READ:
        return "Cannot read the specified file. Make sure the file is still present, or check "
               "your disk or network connection.";
    default:
        return {};
    }
}

} // namespace kb::mci
