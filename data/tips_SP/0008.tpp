Edición completa
Un clic en la vista previa abre la ventana grande de edición: recorte, enfoque, desenfoque y más de 50 filtros de efectos como «Mosaic», «Fisheye» o «Emboss».
Para recortar, trace un marco con el ratón y pulse el botón de recorte.
