Scanner e fotocamera digitale
Nel menu scanner / fotocamera digitale scelga prima il driver del suo dispositivo.
Avviando l’acquisizione, l’immagine arriva direttamente nella presentazione aperta.
