Riattivare i suggerimenti
Ha spuntato la casella che nasconde i suggerimenti? Può riattivarli in qualsiasi momento al passo 3.
