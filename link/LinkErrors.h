// Internal error codes of the link, kept on its error stack.
#pragma once

enum LinkError {
    ERR_OPEN_PORT = 1,
    ERR_QUEUE_SIZES = 2,
    ERR_PURGE_ON_OPEN = 3,
    ERR_EVENT_MASK_ON_OPEN = 4,
    ERR_TIMEOUTS = 5,
    ERR_SETUP_ON_OPEN = 7,
    ERR_CLOSE_PORT = 8,
    ERR_LINE_SETTINGS = 9,
    ERR_READ = 10,
    ERR_WRITE = 11,
    ERR_BOARD_REFUSED = 12,
    ERR_BLOCK_INCOMPLETE = 13,
    ERR_BLOCK_CHECKSUM = 14,
};
