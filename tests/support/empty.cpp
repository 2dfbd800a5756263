// Keeps the support library non-empty while the fakes are being written.
