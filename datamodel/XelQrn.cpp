// The setup data-model library; its classes live in their own files.
