# thumbs
