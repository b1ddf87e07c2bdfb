# dialogs
