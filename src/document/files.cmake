# document
