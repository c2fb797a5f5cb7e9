Your photos on the web
The web page output builds a picture gallery with an overview page and a page of its own for every picture.
The upload button then sends the gallery to your web space by FTP.
