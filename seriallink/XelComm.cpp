// The serial link library; its classes live in their own files.
