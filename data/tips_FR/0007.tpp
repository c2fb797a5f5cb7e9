Embellir vos images
Les fenêtres luminosité / contraste / couleur et correction rouge/vert/bleu affichent l’original et un aperçu côte à côte.
L’image du diaporama n’est modifiée qu’au moment où vous enregistrez.
