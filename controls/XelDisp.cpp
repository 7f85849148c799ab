// The control library; its controls live in their own files.
