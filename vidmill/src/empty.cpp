// Keeps the engine archive non-empty while its parts are being written.
